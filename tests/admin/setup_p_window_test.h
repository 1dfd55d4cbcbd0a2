#pragma once

#include "admin/settings_window_test.h"
#include "admin/setup_p.h"

namespace zv::test {

// The program settings window over the fixture's opened tables, shown on one page.
class SetupPWindowTest : public SettingsWindowTest<TSetupP> {
  protected:
    void openOn(TSetupP::Page page) {
        fx.records().DBOpen();
        fx.messages.clear();
        window.setHost(&fx);
        window.UpdateSetupP(fx.settings());
        window.setCurrentPage(page);
        window.show();
    }
};

}  // namespace zv::test
