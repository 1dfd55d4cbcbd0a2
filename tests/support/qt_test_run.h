#pragma once

#include <QString>

namespace zv::test {

// Before the application object: widgets under the offscreen platform, no desktop theme. The
// platform has a 1920x1200 desktop screen at (0, 0), where windows open, and beside it the
// screens "Yard1366x768" and "Yard1280x1024".
void useOffscreenPlatform();

// Qt's warnings that mean a fault in the program (an exception through the event loop, an
// editor or an index that belongs to another view or model, a connection that failed) fail
// the running test. Installed by the main() of the widget tests.
void installQtFaultWarnings();
// The main() of widget tests after the application object exists: runs every test.
int runQtTests(int argc, char** argv);

// For a test that makes such a warning on purpose: while it lives, warnings containing
// `text` are counted instead of failing the test.
bool takeExpected(const QString& message);

class ExpectedQtWarning {
  public:
    explicit ExpectedQtWarning(QString text);
    ~ExpectedQtWarning();
    ExpectedQtWarning(const ExpectedQtWarning&) = delete;
    ExpectedQtWarning& operator=(const ExpectedQtWarning&) = delete;
    int count() const { return count_; }

  private:
    friend bool takeExpected(const QString& message);
    QString text_;
    int count_ = 0;
    ExpectedQtWarning* previous_;
};

}  // namespace zv::test
