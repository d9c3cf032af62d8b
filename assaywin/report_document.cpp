// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_document.h"

#include "assay_runner.h"
#include "window_text.h"

#include "assay/report.h"
#include "plate/dat_file.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QUrl>

#include <cmath>

namespace {
constexpr double pointsPerMm = 72.0 / 25.4;
// The pictures' widths on paper, as the report's print styles have them.
constexpr double mapWidthMm = 100;
constexpr double curveWidthMm = 86;
// Pixels a point for the pictures' images: sharp when printed.
constexpr double imageScale = 4;
constexpr double pixelsPerPoint = 96.0 / 72.0;
// The smallest a report is made to keep it on one sheet, and the steps.
constexpr double smallestScale = 0.72;
constexpr double scaleStep = 0.04;

const QPageLayout &a4() {
    static const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    return layout;
}

// The two pictures' flex row as a table of two cells, which rich text lays
// out side by side.
QString picturesAsTable(QString html) {
    const QString open = QStringLiteral("<div class=\"pictures\">");
    const qsizetype start = html.indexOf(open);
    if (start < 0)
        return html;
    static const QRegularExpression tag(QStringLiteral("<div[^>]*>|</div>"));
    QString out = html.left(start) + QStringLiteral("<table width=\"100%\"><tr>");
    int depth = 1;
    qsizetype at = start + open.size();
    for (auto it = tag.globalMatch(html, at); it.hasNext() && depth > 0;) {
        const QRegularExpressionMatch m = it.next();
        out += html.mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        const bool closing = m.captured().startsWith(QLatin1String("</"));
        if (!closing) {
            out += depth == 1 ? QStringLiteral("<td valign=\"top\">") : m.captured();
            ++depth;
        } else {
            --depth;
            out += depth == 0   ? QStringLiteral("</tr></table>")
                   : depth == 1 ? QStringLiteral("</td>")
                                : m.captured();
        }
    }
    return out + html.mid(at);
}

// Each inline SVG becomes an image of the document, drawn by Qt SVG.
QString svgAsImages(const QString &html, QTextDocument &document) {
    static const QRegularExpression svg(QStringLiteral("<svg [^>]*class=\"(\\w+)\"[^>]*>.*?</svg>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    QString out;
    qsizetype at = 0;
    int n = 0;
    for (auto it = svg.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += html.mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        QSvgRenderer renderer(m.captured().toUtf8());
        const double widthPt =
            (m.captured(1) == QLatin1String("map") ? mapWidthMm : curveWidthMm) * pointsPerMm;
        const QSizeF box = renderer.viewBoxF().size();
        if (!renderer.isValid() || box.isEmpty())
            continue;
        const double heightPt = widthPt * box.height() / box.width();
        QImage image(QSize(static_cast<int>(std::lround(widthPt * imageScale)),
                           static_cast<int>(std::lround(heightPt * imageScale))),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString name = QStringLiteral("svg%1.png").arg(n++);
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        // Rich text takes an image's size in pixels of 96 an inch.
        out += QStringLiteral("<div><img src=\"%1\" width=\"%2\" height=\"%3\"></div>")
                   .arg(name)
                   .arg(std::lround(widthPt * pixelsPerPoint))
                   .arg(std::lround(heightPt * pixelsPerPoint));
    }
    return out + html.mid(at);
}

// The legend's swatches apart, as the browser's padding has them.
QString legendSpaced(QString html) {
    return html.replace(QStringLiteral("</span><span style="),
                        QStringLiteral("</span>&nbsp; <span style="));
}

// The document is laid out in points: its fonts measured on a device of 72
// dots an inch, whatever the screen's or the printer's resolution.
QPaintDevice *pointDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        constexpr int dotsPerMetre = 2835; // 72 an inch
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return &device;
}

QSizeF printableSizePt() {
    return a4().paintRect(QPageLayout::Point).size();
}

// The scale at which the document is laid out: the largest that fits one
// page, else full size.
double layOut(QTextDocument &document) {
    const QSizeF page = printableSizePt();
    for (double scale = 1.0; scale >= smallestScale - 1e-9; scale -= scaleStep) {
        document.setPageSize(page / scale);
        if (document.pageCount() == 1)
            return scale;
    }
    document.setPageSize(page);
    return 1.0;
}
} // namespace

std::unique_ptr<QTextDocument> reportDocument(const AssayResult &result) {
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(pointDevice());
    document->setDocumentMargin(0);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9);
    document->setDefaultFont(font);
    const QString html =
        QString::fromUtf8(analysisReport(result.kit, result.analysis, result.plate, result.run));
    document->setHtml(svgAsImages(legendSpaced(picturesAsTable(html)), *document));
    document->setMetaInformation(QTextDocument::DocumentTitle, result.kit.name);
    return document;
}

bool paintReport(QTextDocument &document, QPagedPaintDevice &device) {
    device.setPageLayout(a4());
    const double scale = layOut(document);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Points to the device's pixels, and the document's size to the page's.
    const double toDevice = device.logicalDpiX() / 72.0 * scale;
    const QSizeF page = document.pageSize();
    const int pages = document.pageCount();
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !device.newPage())
            return false;
        painter.save();
        painter.scale(toDevice, toDevice);
        painter.translate(0, -p * page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(QPointF(0, p * page.height()), page);
        painter.setClipRect(context.clip);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end();
}

QString saveReportPdf(const AssayResult &result, const QString &path) {
    const std::unique_ptr<QTextDocument> document = reportDocument(result);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(result.kit.name);
        writer.setCreator(QStringLiteral("telkaro-assay"));
        writer.setResolution(300);
        if (!paintReport(*document, writer))
            return WindowText::tr("the report could not be drawn");
    }
    return writeDatFile(path, buffer.data(), WindowText::tr("the file was not written in full"));
}
