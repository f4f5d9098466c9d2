// zorel8z-manual-pdf: turns the Ukrainian user manual (docs/manual/manual.html) into the PDF that the
// configurator's help command opens. Runs at build time, so it needs no display: it uses the offscreen
// platform unless QT_QPA_PLATFORM says otherwise.
//
//   zorel8z-manual-pdf IN.html OUT.pdf
//
// The HTML is the subset that QTextDocument renders. Two things are added here:
// - a paragraph that holds only the text [[ЗМІСТ]] becomes a table of contents listing every level-2
//   heading with its page number;
// - <img src="mark:none">, <img src="mark:edited"> and <img src="mark:synced"> show the three page-mark
//   images of the window's tabs (drawn here, in the colours the window uses).
// - <img src="shot:NAME"> shows the picture SHOTS_DIR/NAME.png of the running window, which the build
//   takes just before (zorel8z-manual-shots), so the manual always shows the program as it is.
// Every page but the first gets a running title at the top and its page number at the bottom.
//
//   zorel8z-manual-pdf IN.html OUT.pdf [SHOTS_DIR]
//
// Exit status: 0 written; 1 the input cannot be read, a picture is missing or the output cannot be
// written; 2 usage error.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

const char* const kTool = "zorel8z-manual-pdf";

const QString kTocMarker = QStringLiteral("[[ЗМІСТ]]");
const QString kFontFamily = QStringLiteral("DejaVu Sans");
constexpr qreal kFontPoints = 9.5;
constexpr int kResolution = 300;           // dots per inch of the PDF's device pixels
constexpr qreal kMarginMm = 20.0;          // page margins on every side
constexpr qreal kHeaderMm = 11.0;          // baseline of the running title, from the top edge
constexpr qreal kFooterMm = 12.0;          // baseline of the page number, from the bottom edge
constexpr qreal kKeepWithHeadingMm = 18.0; // least room under a heading at the foot of a page

void fail(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", kTool, text.toLocal8Bit().constData());
}

qreal mmToPx(qreal mm) {
    return mm * kResolution / 25.4;
}

// --- Page-mark images -------------------------------------------------------------------------

enum class Mark { None, Edited, Synced };

// A 64 x 64 picture: a white symbol on a rounded square (grey for None and Edited, green for Synced).
QImage markImage(Mark mark) {
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(mark == Mark::Synced ? QColor(46, 160, 67) : QColor(128, 128, 128));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    const QColor white(255, 255, 255);
    switch (mark) {
    case Mark::None: { // prohibition sign: a ring with a diagonal bar
        QPen pen(white, 7);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(32, 32), 19, 19);
        p.drawLine(QPointF(19, 45), QPointF(45, 19));
        break;
    }
    case Mark::Edited: { // raised hand: palm, four fingers and a thumb
        p.setBrush(white);
        p.drawRoundedRect(QRectF(19, 30, 26, 24), 7, 7);
        const qreal fingerX[] = {19.5, 26, 32.5, 39};
        const qreal fingerTop[] = {17, 11, 10, 14};
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(fingerX[i], fingerTop[i], 5.5, 36 - fingerTop[i]), 2.75, 2.75);
        QPainterPath thumb;
        thumb.moveTo(20, 42);
        thumb.lineTo(12, 31);
        thumb.quadTo(10, 27, 14, 26);
        thumb.quadTo(17, 26, 21, 32);
        thumb.closeSubpath();
        p.drawPath(thumb);
        break;
    }
    case Mark::Synced: { // tick
        QPen pen(white, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(16, 33);
        tick.lineTo(27, 44);
        tick.lineTo(48, 20);
        p.drawPath(tick);
        break;
    }
    }
    return img;
}

void addMarkImages(QTextDocument& doc) {
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mark:none")), markImage(Mark::None));
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mark:edited")),
                    markImage(Mark::Edited));
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mark:synced")),
                    markImage(Mark::Synced));
}

// --- Document and table of contents ---------------------------------------------------------

struct Setup {
    QPagedPaintDevice* device;
    QFont font;
    qreal margin;                    // in the layout's screen pixels
    QSizeF pageSize;                 // in device pixels
    std::map<QString, QImage> shots; // by the name in "shot:NAME"
};

std::unique_ptr<QTextDocument> layOut(const QString& html, const Setup& setup) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(setup.device); // measure text at the PDF's resolution
    doc->setDefaultFont(setup.font);
    addMarkImages(*doc);
    for (const auto& [name, image] : setup.shots)
        doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("shot:") + name), image);
    doc->setHtml(html);
    QTextFrameFormat root = doc->rootFrame()->frameFormat();
    root.setLeftMargin(setup.margin);
    root.setRightMargin(setup.margin);
    root.setTopMargin(setup.margin);
    root.setBottomMargin(setup.margin);
    doc->rootFrame()->setFrameFormat(root);
    doc->setPageSize(setup.pageSize);
    return doc;
}

// The page on which a block's first line stands (a block that does not fit at the foot of a page
// keeps its place there and has its lines moved to the next page).
int pageOf(const QTextDocument& doc, const QTextBlock& block) {
    qreal top = doc.documentLayout()->blockBoundingRect(block).top();
    const QTextLayout* layout = block.layout();
    if (layout && layout->lineCount() > 0)
        top += layout->lineAt(0).y();
    return static_cast<int>(top / doc.pageSize().height()) + 1;
}

struct Heading {
    QString title;
    int page;
};

// The level-2 headings of a laid-out document with the page each begins on.
std::vector<Heading> headings(const QTextDocument& doc) {
    std::vector<Heading> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 2)
            out.push_back({b.text(), pageOf(doc, b)});
    }
    return out;
}

bool samePages(const std::vector<Heading>& a, const std::vector<Heading>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].page != b[i].page)
            return false;
    }
    return true;
}

QString tocHtml(const std::vector<Heading>& list) {
    QString rows;
    for (const Heading& h : list) {
        rows +=
            QStringLiteral("<tr><td width=\"92%\">%1</td><td width=\"8%\" align=\"right\">%2</td></tr>\n")
                .arg(h.title.toHtmlEscaped(), h.page > 0 ? QString::number(h.page) : QStringLiteral("00"));
    }
    return QStringLiteral(
               "<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"2\">\n%1</table>")
        .arg(rows);
}

// The first heading left at the foot of a page: its text is followed by nothing on the same page, or
// by less than kKeepWithHeadingMm. A run of headings (a section heading directly followed by a
// subsection heading) counts as one, by the text of its first heading. Headings in `skip` (already
// starting a page) are passed over.
QString firstOrphanHeading(const QTextDocument& doc, const QStringList& skip) {
    const qreal pageHeight = doc.pageSize().height();
    QTextBlock runStart;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0) {
            runStart = QTextBlock();
            continue;
        }
        if (!runStart.isValid())
            runStart = b;
        const QTextBlock next = b.next();
        if (!next.isValid() || next.blockFormat().headingLevel() != 0)
            continue;
        const int page = pageOf(doc, b);
        const qreal bodyBottom = page * pageHeight - mmToPx(kMarginMm);
        const qreal headingBottom = doc.documentLayout()->blockBoundingRect(b).bottom();
        const bool alone =
            pageOf(doc, next) > page || bodyBottom - headingBottom < mmToPx(kKeepWithHeadingMm);
        if (alone && !skip.contains(runStart.text()))
            return runStart.text();
    }
    return QString();
}

// Text of an HTML fragment as QTextDocument shows it (tags dropped, blanks folded, a few entities).
QString plainText(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    html.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html.trimmed();
}

// Starts the heading with the given text on a new page. False when it is not found or already does.
bool breakBefore(QString& html, const QString& title) {
    static const QRegularExpression re(QStringLiteral("<h([1-6])([^>]*)>(.*?)</h\\1>"),
                                       QRegularExpression::DotMatchesEverythingOption);
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (plainText(m.captured(3)) != title.trimmed())
            continue;
        if (m.captured(2).contains(QStringLiteral("page-break-before")))
            return false;
        html.insert(m.capturedEnd(1), QStringLiteral(" style=\"page-break-before: always;\""));
        return true;
    }
    return false;
}

// Lays the manual out. Headings that would end a page move to the next one, one at a time from the
// top, since each move shifts everything after it. A paragraph holding only the marker becomes the
// table of contents: placeholder page numbers while the headings move (the table's size does not
// depend on the numbers), then the real ones.
std::unique_ptr<QTextDocument> layOutManual(QString html, const Setup& setup) {
    const QString paragraph = QStringLiteral("<p>%1</p>").arg(kTocMarker);
    const QString marker = html.contains(paragraph) ? paragraph : kTocMarker;
    const bool withToc = html.contains(marker);

    std::vector<Heading> list;
    if (withToc) {
        list = headings(*layOut(QString(html).replace(marker, QString()), setup));
        for (Heading& h : list)
            h.page = 0;
    }
    std::unique_ptr<QTextDocument> doc;
    QStringList cannotMove;
    for (int round = 0; round < 100; ++round) {
        doc = layOut(withToc ? QString(html).replace(marker, tocHtml(list)) : html, setup);
        const QString orphan = firstOrphanHeading(*doc, cannotMove);
        if (!orphan.isEmpty()) {
            if (!breakBefore(html, orphan))
                cannotMove << orphan;
            continue;
        }
        const std::vector<Heading> now = headings(*doc);
        if (!withToc || samePages(now, list))
            break;
        list = now;
    }
    return doc;
}

// --- Painting ---------------------------------------------------------------------------------

void drawPage(QPainter& p, QTextDocument& doc, int page, int pageCount, const QString& runningTitle,
              const QFont& smallFont) {
    const QSizeF size = doc.pageSize();
    const QRectF clip(0, page * size.height(), size.width(), size.height());

    p.save();
    p.translate(0, -clip.top());
    p.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = clip;
    ctx.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&p, ctx);
    p.restore();

    // Running title and page number live in the margins.
    p.save();
    p.setFont(smallFont);
    p.setPen(QColor(90, 90, 90));
    const qreal left = mmToPx(kMarginMm);
    const qreal width = size.width() - 2 * left;
    if (page > 0) {
        const qreal base = mmToPx(kHeaderMm);
        p.drawText(QRectF(left, base - mmToPx(6), width, mmToPx(6)), Qt::AlignLeft | Qt::AlignBottom,
                   runningTitle);
        p.setPen(QPen(QColor(150, 150, 150), mmToPx(0.2)));
        p.drawLine(QPointF(left, base + mmToPx(1.5)), QPointF(left + width, base + mmToPx(1.5)));
        p.setPen(QColor(90, 90, 90));
    }
    const qreal foot = size.height() - mmToPx(kFooterMm);
    p.drawText(QRectF(left, foot - mmToPx(6), width, mmToPx(6)), Qt::AlignHCenter | Qt::AlignBottom,
               QStringLiteral("%1 / %2").arg(page + 1).arg(pageCount));
    p.restore();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: %s IN.html OUT.pdf [SHOTS_DIR]\n", kTool);
        return 2;
    }
    const QString inPath = args.at(1);
    const QString outPath = args.at(2);

    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(inPath, in.errorString()));
        return 1;
    }
    const QString html = QString::fromUtf8(in.readAll());
    in.close();
    if (html.trimmed().isEmpty()) {
        fail(QStringLiteral("%1 is empty").arg(inPath));
        return 1;
    }

    // Written to a temporary file beside the target and renamed at the end, so a failed run never
    // leaves a truncated PDF that the build would take as up to date.
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        return 1;
    }

    // The window's pictures the manual names; a missing one fails the build rather than leaving a hole.
    std::map<QString, QImage> shots;
    const QRegularExpression shotRef(QStringLiteral("src=\"shot:([A-Za-z0-9_@.-]+)\""));
    for (auto it = shotRef.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        const QString path =
            args.size() == 4 ? args.at(3) + QLatin1Char('/') + name + QStringLiteral(".png") : name;
        QImage image(path);
        if (args.size() != 4 || image.isNull()) {
            fail(QStringLiteral("cannot read the picture %1").arg(path));
            return 1;
        }
        shots[name] = image;
    }

    const QString title = QStringLiteral("Конфігуратор ППК Зорел-8Z — посібник користувача");
    QPdfWriter writer(&out);
    writer.setResolution(kResolution);
    writer.setTitle(title);
    writer.setCreator(QString::fromLatin1(kTool));
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode); // we place the margins ourselves, header and footer in them
    if (!writer.setPageLayout(layout)) {
        fail(QStringLiteral("cannot set the A4 page layout"));
        return 1;
    }

    QFont font(kFontFamily);
    font.setPointSizeF(kFontPoints);
    font.setStyleHint(QFont::SansSerif);
    const QFontInfo fi(font);
    if (fi.family() != kFontFamily)
        fail(QStringLiteral("warning: font \"%1\" not found, using \"%2\"").arg(kFontFamily, fi.family()));

    // The layout scales frame margins from screen pixels to the device, as it does borders and padding.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal screenDpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
    const QRect full = writer.pageLayout().fullRectPixels(kResolution);
    const Setup setup{&writer, font, kMarginMm * screenDpi / 25.4, QSizeF(full.width(), full.height()),
                      shots};
    const std::unique_ptr<QTextDocument> doc = layOutManual(html, setup);
    const int pageCount = doc->pageCount();

    QPainter painter;
    if (!painter.begin(&writer)) {
        fail(QStringLiteral("cannot start the PDF %1").arg(outPath));
        out.cancelWriting();
        return 1;
    }
    QFont small(font);
    small.setPointSizeF(8);
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            writer.newPage();
        drawPage(painter, *doc, page, pageCount, title, small);
    }
    painter.end();

    if (!out.commit()) {
        fail(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        return 1;
    }
    std::printf("%s: %d pages\n", outPath.toLocal8Bit().constData(), pageCount);
    return 0;
}
