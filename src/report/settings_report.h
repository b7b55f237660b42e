#pragma once
// The printed report of a setting, for the installer's records: a PDF of A4
// pages in the user's language, written with Qt's own PDF writer. A title
// page (room or file, date, device code and modes when read from a
// processor), one page for each equaliser with its graph drawn by the
// graph's own painting code (vectors, the same curve and points as on
// screen) and a table of its bands and filters, then the other parameters
// of each page and the system values as tables; every page numbered.
//
// The file is written through a scratch file beside it: a failure never
// leaves a partial PDF.

#include <QRectF>
#include <QString>

#include "settingsdoc/report_data.h"

namespace dsp {

// Writes the report to `file`; false with the reason (English) in `error`.
bool WriteSettingsReport(const ReportData& data, const QString& file, QString& error);

// Where the graph sits on each equaliser page, in PDF points (1/72 inch)
// from the page's top-left corner, and the graph geometry drawn into it (the
// window's graph size), so that a check can find the curve on a rendering.
QRectF ReportGraphRect();
int ReportGraphWidth();
int ReportGraphHeight();

// The equaliser channels in page order, each on its own report page.
const std::vector<int>& ReportEqChannels();

}  // namespace dsp
