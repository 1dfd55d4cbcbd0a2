#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QTableView>
#include <functional>
#include <optional>

#include "admin/db_view.h"
#include "records/records_fixture.h"
#include "reports/report_layouts.h"
#include "ui/modal.h"
#include "ui/scripted_messages.h"

namespace zv::test {

// The table viewer over a fresh set of tables, with operators 1 and 2; the password prompt
// answers typedPassword.
class ViewerTest : public ::testing::Test, public DBViewHost {
  protected:
    RecordsFixture f;
    ReportLayouts reportLayouts;
    ScriptedMessages messages;
    TDBView viewer;
    int operatorNumber = 2;
    int shiftWindows = 0;
    int prompts = 0;
    QString typedPassword = schema::kTablePassword;

    ViewerTest() {
        f.open();
        for (int n : {1, 2})
            f.records->Names().insertValues({{"N", n}, {"Name", QString("Оператор %1").arg(n)}});
        viewer.setHost(this);
        f.records->connection().setPasswordPrompt([this] {
            ++prompts;
            return std::optional<QString>(typedPassword);
        });
    }

    RecordsDatabase& records() override { return *f.records; }
    const ReportLayouts& layouts() override { return reportLayouts; }
    int currentOperator() const override { return operatorNumber; }
    void ShiftSet() override { ++shiftWindows; }

    // Opens the viewer on `item`, runs `step` inside it and closes it with "Закрыть" unless
    // the step closed it.
    void view(int item, const std::function<void(QDialog&)>& step) {
        ModalScript script;
        script.then([&](QDialog& d) {
            step(d);
            if (d.isVisible()) d.findChild<QPushButton*>("But2")->click();
        });
        viewer.setTableIndex(item);
        showModal(viewer);
    }
    static QTableView* grid(QDialog& d) { return d.findChild<QTableView*>("DBG1"); }
};

}  // namespace zv::test
