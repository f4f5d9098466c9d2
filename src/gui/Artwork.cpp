#include "Artwork.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cmath>
#include <functional>

namespace zorel8z::gui::art {

namespace {

const QColor kBlue(0x1f, 0x4e, 0x8c);
const QColor kGreen(0x2e, 0x8b, 0x3a);
const QColor kGrey(0x8a, 0x8a, 0x8a);
const QColor kRed(0xb8, 0x2a, 0x2a);

// Draws an icon when it is first shown, at the size it is shown at, so that it stays crisp at any
// scale and an icon that is never shown (most menu items' at start) costs nothing.
class DrawnIconEngine : public QIconEngine {
  public:
    using Draw = std::function<void(QPainter&, const QSize&)>;
    explicit DrawnIconEngine(Draw draw) : m_draw(std::move(draw)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty())
            return {};
        const QString key = QStringLiteral("%1x%2/%3").arg(size.width()).arg(size.height()).arg(int(mode));
        auto it = m_cache.constFind(key);
        if (it != m_cache.constEnd())
            return *it;
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            m_draw(p, size);
        }
        // Greyed and highlighted forms the way the style makes them for any other icon.
        if (mode != QIcon::Normal && mode != QIcon::Active && qobject_cast<QApplication*>(qApp)) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        m_cache.insert(key, pm);
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * dpr, mode, state);
        pm.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect.topLeft(), pm);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }
    QIconEngine* clone() const override { return new DrawnIconEngine(*this); }
    QString key() const override { return QStringLiteral("zorel8z-drawn"); }

  private:
    Draw m_draw;
    QHash<QString, QPixmap> m_cache;
};

// An icon drawn in a 16 × 16 box, scaled to the size asked for.
template <typename Paint> QIcon drawnIcon(Paint paint) {
    return QIcon(new DrawnIconEngine([paint](QPainter& p, const QSize& size) {
        p.scale(size.width() / 16.0, size.height() / 16.0);
        paint(p);
    }));
}

void arrow(QPainter& p, bool down, const QColor& colour) {
    // Drawn pointing down; the up arrow is its mirror image over the same band.
    QPainterPath path;
    path.moveTo(6, 1);
    path.lineTo(10, 1);
    path.lineTo(10, 6);
    path.lineTo(13, 6);
    path.lineTo(8, 11);
    path.lineTo(3, 6);
    path.lineTo(6, 6);
    path.closeSubpath();
    if (!down)
        path = QTransform(1, 0, 0, -1, 0, 12).map(path);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    // The panel the configuration goes to or comes from.
    p.setBrush(QColor(0x44, 0x44, 0x44));
    p.drawRoundedRect(QRectF(1.5, 12.5, 13, 3), 1, 1);
}

} // namespace

QIcon drawnPageMark(model::PageMark mark);

namespace {

void paintEmblem(QPainter& p, qreal w, qreal h) {
    // A shield with the panel's eight zones as a ring of dots.
    QPainterPath shield;
    const qreal sw = h * 0.78;
    const qreal left = (w - sw) / 2;
    shield.moveTo(left, h * 0.08);
    shield.lineTo(left + sw, h * 0.08);
    shield.lineTo(left + sw, h * 0.45);
    shield.cubicTo(left + sw, h * 0.72, left + sw * 0.75, h * 0.86, left + sw / 2, h * 0.96);
    shield.cubicTo(left + sw * 0.25, h * 0.86, left, h * 0.72, left, h * 0.45);
    shield.closeSubpath();
    QLinearGradient grad(0, 0, 0, h);
    grad.setColorAt(0, kBlue.lighter(130));
    grad.setColorAt(1, kBlue.darker(120));
    p.setPen(QPen(kBlue.darker(160), 2));
    p.setBrush(grad);
    p.drawPath(shield);
    const QPointF centre(w / 2, h * 0.46);
    const qreal radius = sw * 0.33;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * 3.14159265 / 4;
        p.setBrush(i == 0 ? kRed : QColor(0xf0, 0xd0, 0x40));
        p.drawEllipse(centre + QPointF(radius * std::cos(a), radius * std::sin(a)), sw * 0.045, sw * 0.045);
    }
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(sw * 0.3));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(left, centre.y() - sw * 0.2, sw, sw * 0.4), Qt::AlignCenter, QStringLiteral("8Z"));
    font.setPixelSize(int(h * 0.13));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(left, h * 0.7, sw, h * 0.16), Qt::AlignCenter, QStringLiteral("ЗОРЕЛ"));
}

} // namespace

QPixmap emblem(const QSize& size) {
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paintEmblem(p, size.width(), size.height());
    return pm;
}

QIcon emblemIcon() {
    // The emblem is wider than high (64 : 50); centred in the square the icon is asked for.
    return QIcon(new DrawnIconEngine([](QPainter& p, const QSize& size) {
        const qreal w = size.width();
        const qreal h = std::min(qreal(size.height()), w * 50 / 64);
        p.translate(0, (size.height() - h) / 2);
        paintEmblem(p, w, h);
    }));
}

QIcon pageMark(model::PageMark mark) {
    // The tabs ask for their marks after every change of state: draw each once.
    static QIcon drawn[3];
    QIcon& icon = drawn[int(mark)];
    if (icon.isNull())
        icon = drawnPageMark(mark);
    return icon;
}

QIcon drawnPageMark(model::PageMark mark) {
    return drawnIcon([mark](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(mark == model::PageMark::Synced ? kGreen : kGrey);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        QPen white(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(white);
        p.setBrush(Qt::NoBrush);
        switch (mark) {
        case model::PageMark::None:
            // Prohibition sign: a ring with a bar.
            p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
            p.drawLine(QPointF(5, 11), QPointF(11, 5));
            break;
        case model::PageMark::Edited:
            // A raised hand: palm and four fingers, the thumb aside.
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(5, 8, 6.5, 5), 1.5, 1.5);
            for (int i = 0; i < 4; ++i)
                p.drawRoundedRect(QRectF(5 + i * 1.65, 3.2 + (i == 0 || i == 3 ? 1 : 0), 1.3, 6), 0.6, 0.6);
            p.save();
            p.translate(5.2, 10.5);
            p.rotate(-40);
            p.drawRoundedRect(QRectF(-3.6, -0.7, 3.8, 1.4), 0.6, 0.6);
            p.restore();
            break;
        case model::PageMark::Synced:
            p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(4, 8.5), QPointF(7, 11.5), QPointF(12.5, 4.5)}));
            break;
        }
    });
}

QIcon glyph(Glyph which) {
    return drawnIcon([which](QPainter& p) {
        QPen pen(kBlue, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        switch (which) {
        case Glyph::Read:
            arrow(p, true, kGreen);
            break;
        case Glyph::Write:
            arrow(p, false, kRed);
            break;
        case Glyph::Refresh: {
            p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF({QPointF(9, 0.5), QPointF(13.5, 3.5), QPointF(9, 6)}));
            break;
        }
        case Glyph::Open:
            p.setPen(QPen(QColor(0x9a, 0x70, 0x10), 1));
            p.setBrush(QColor(0xf2, 0xc8, 0x4b));
            p.drawRect(QRectF(1.5, 4.5, 13, 9));
            p.drawRect(QRectF(1.5, 2.5, 5, 2));
            break;
        case Glyph::Save:
            p.setPen(QPen(kBlue.darker(130), 1));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 2, 8, 4.5));
            p.setBrush(QColor(0xdd, 0xdd, 0xdd));
            p.drawRect(QRectF(4, 9.5, 8, 4.5));
            break;
        case Glyph::Exit:
            p.setPen(QPen(kRed, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(2.5, 3, 11, 11), 120 * 16, 300 * 16);
            p.drawLine(QPointF(8, 1.5), QPointF(8, 8));
            break;
        case Glyph::Usb:
            p.setPen(pen);
            p.drawLine(QPointF(8, 14), QPointF(8, 2));
            p.drawLine(QPointF(8, 10), QPointF(4, 7));
            p.drawLine(QPointF(8, 8), QPointF(12, 5));
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(8, 14), 1.5, 1.5);
            p.drawRect(QRectF(11, 3.5, 2, 2));
            p.drawEllipse(QPointF(4, 6.5), 1.2, 1.2);
            p.drawPolygon(QPolygonF({QPointF(8, 0.5), QPointF(6.5, 3), QPointF(9.5, 3)}));
            break;
        case Glyph::Internet:
            p.setPen(pen);
            p.setBrush(QColor(0xd8, 0xe8, 0xff));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(5, 1.5, 6, 13));
            p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
            break;
        case Glyph::Page:
            p.setPen(QPen(kGrey.darker(130), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 1.5, 9, 13));
            p.setPen(QPen(kBlue, 1));
            for (int y = 5; y <= 11; y += 3)
                p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
            break;
        case Glyph::Export:
            p.setPen(QPen(kGrey.darker(130), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 1.5, 9, 13));
            p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(6, 8), QPointF(14, 8));
            p.drawPolyline(QPolygonF({QPointF(11, 5), QPointF(14, 8), QPointF(11, 11)}));
            break;
        case Glyph::Help: {
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
            QFont f = p.font();
            f.setBold(true);
            f.setPixelSize(12);
            p.setFont(f);
            p.setPen(Qt::white);
            p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case Glyph::Key:
            p.setPen(QPen(QColor(0x9a, 0x70, 0x10), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(1.5, 4.5, 6, 6));
            p.drawLine(QPointF(7.5, 7.5), QPointF(14.5, 7.5));
            p.drawLine(QPointF(12, 7.5), QPointF(12, 10.5));
            p.drawLine(QPointF(14, 7.5), QPointF(14, 10));
            break;
        }
    });
}

} // namespace zorel8z::gui::art
