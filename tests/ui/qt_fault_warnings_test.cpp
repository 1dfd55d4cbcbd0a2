#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QtGlobal>

#include "support/qt_test_run.h"

namespace zv::test {
namespace {

const char* warning = nullptr;

// Qt's own words for faults fail the running test; its other chatter does not.
TEST(QtFaultWarnings, FaultsFailTheTestOtherWarningsDoNot) {
    const char* faults[] = {
        "Qt has caught an exception thrown from an event handler. Throwing\nexceptions from an "
        "event handler is not supported in Qt.",
        "QAbstractItemView::closeEditor called with an editor that does not belong to this view",
        "QSortFilterProxyModel: index from wrong model passed to mapToSource",
        "Can't select indexes from different model or with different parents",
        "QObject::connect: No such signal QObject::nothing()",
    };
    for (const char* fault : faults) {
        warning = fault;
        EXPECT_NONFATAL_FAILURE(qWarning("%s", warning), "Qt reported a fault");
    }
    qWarning("This plugin does not support raise()");
}

TEST(QtFaultWarnings, AnExpectedFaultIsCountedInstead) {
    ExpectedQtWarning expected("exception thrown from an event handler");
    qCritical("Caught an exception thrown from an event handler: refused");
    EXPECT_EQ(expected.count(), 1);
}

}  // namespace
}  // namespace zv::test
