// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class QPagedPaintDevice;
class QTextDocument;
struct AssayResult;

// The report on paper: the assay library's HTML report, in the same content
// and order, laid out by Qt's rich text (the pictures drawn from its SVG, the
// plate map and the curve side by side), on A4.
std::unique_ptr<QTextDocument> reportDocument(const AssayResult &result);

// Paints the document on a printer or a PDF writer, page after page. A report
// a little too long for one page is made smaller to fit it (down to 72 %),
// so that a plate's report is one sheet where it can be. False when the
// device could not be painted on.
bool paintReport(QTextDocument &document, QPagedPaintDevice &device);

// The report as a PDF file, written completely or not at all (an existing
// file stays as it was when anything fails), with the kit's name as its
// title. An empty string, or why not.
QString saveReportPdf(const AssayResult &result, const QString &path);
