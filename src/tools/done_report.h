#pragma once
// The end-of-job report that offers to show the new file.
#include <QString>

namespace tools {

// Seconds with two decimals and no leading zero below one second: 0.5 -> ".50",
// 12.345 -> "12.35".
QString secondsText(double seconds);

// "全部的檔案處理程序已經成功結束" (or "被中止掉"), the time line only when seconds > 0,
// note (lines about how the job went) when there is one, and the two lines about where to look.
QString doneReportText(double seconds, bool stopped, const QString& note = {});

// Nothing when path does not exist. Makes its folder current; goStraightToList selects it
// in the list window's file browser at once; otherwise the report (OK and Cancel) and on OK
// the file list when chkDoneToFn is ticked, else the file manager with the file selected.
void doneAfterSave(const QString& path, bool goStraightToList, double seconds, bool stopped,
                   const QString& note = {});

}  // namespace tools
