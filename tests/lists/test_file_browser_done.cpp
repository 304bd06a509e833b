// A job's report with chkDoneToFn ticked ends with the new file selected in the browser, the
// browser joined to the tools the way the application joins them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/scripted_prompts.h"
#include "lists/file_browser.h"
#include "qt_app.h"
#include "tools/done_report.h"
#include "tools/tool_host.h"

namespace {

class BrowserToolHost : public tools::ToolHost {
  public:
    explicit BrowserToolHost(lists::FileBrowser& b) : browser(b) {}
    bool doneToFileList() override { return browser.doneToFn(); }
    void selectInFileBrowser(const QString& path) override { browser.showFile(path); }
    lists::FileBrowser& browser;
};

}  // namespace

TEST(FileBrowserAfterAJob, TickedDoneToFnSelectsTheNewFile) {
    testmedia::qtApp();
    ScriptedPrompts prompts;
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    for (const char* name : {"a_cut.flv", "b.flv", "Z_cut.flv"}) {
        QFile f(root + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("FLV");
    }
    lists::FileBrowser browser;
    int shown = 0;
    browser.host.showBrowserArea = [&] { ++shown; };
    BrowserToolHost host(browser);
    tools::installToolHost(&host);
    browser.findChild<QCheckBox*>("chkDoneToFn")->setChecked(true);

    prompts.answer(prompts::Answer::Cancel);
    tools::doneAfterSave(root + "/Z_cut.flv", false, 2.5, false);
    EXPECT_NE(browser.folder(), root);  // the report was cancelled: nothing moves
    EXPECT_EQ(shown, 0);

    prompts.answer(prompts::Answer::Ok);
    tools::doneAfterSave(root + "/Z_cut.flv", false, 2.5, false);
    EXPECT_EQ(browser.folder(), root);
    EXPECT_EQ(browser.getFnFn(), root + "/Z_cut.flv");
    EXPECT_EQ(shown, 1);
    tools::installToolHost(nullptr);
}
