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

// The emblem's lettering as outlines of Liberation Sans Bold at a size of 100 px, baseline at y = 0,
// in tenths of a pixel: M x y, L x y, C x1 y1 x2 y2 x y. As outlines the emblem looks the same
// whatever fonts the system has, and drawing it needs no font: the window's start does without
// loading a bold face only for the emblem.
const char kEightZ[] =
    "M525 -194 C525 -129 504 -79 461 -44 C419 -8 358 10 279 10 C200 10 140 -8 96 -43 C53 -79 32 "
    "-129 32 -193 C32 -237 44 -274 70 -304 C95 -334 129 -353 172 -360 L172 -362 C135 -370 105 "
    "-388 82 -417 C59 -446 48 -479 48 -516 C48 -572 68 -617 108 -649 C148 -682 204 -698 277 -698 "
    "C351 -698 409 -682 449 -651 C488 -619 508 -574 508 -515 C508 -478 497 -445 474 -417 C452 "
    "-388 421 -370 383 -363 L383 -361 C428 -354 462 -336 488 -306 C513 -277 525 -240 525 -194 "
    "M367 -508 C367 -540 360 -564 345 -579 C330 -594 307 -602 277 -602 C218 -602 188 -571 188 "
    "-508 C188 -442 218 -409 278 -409 C308 -409 330 -417 345 -432 C360 -448 367 -473 367 -508 "
    "M383 -205 C383 -277 348 -313 276 -313 C243 -313 217 -304 199 -285 C182 -266 173 -239 173 "
    "-203 C173 -163 182 -133 199 -115 C217 -96 244 -87 280 -87 C315 -87 341 -96 358 -115 C375 "
    "-133 383 -163 383 -205 M1138 0 L586 0 L586 -102 L958 -575 L623 -575 L623 -688 L1118 -688 "
    "L1118 -588 L746 -113 L1138 -113 L1138 0";
const char kZorel[] =
    "M312 10 C235 10 173 -6 126 -36 C79 -67 45 -115 23 -180 L151 -225 C181 -143 235 -102 312 "
    "-102 C354 -102 385 -110 407 -128 C429 -145 440 -170 440 -201 C440 -234 427 -258 401 -272 "
    "C375 -287 335 -294 280 -294 L251 -294 L251 -405 L280 -405 C329 -405 365 -413 389 -428 C412 "
    "-444 424 -468 424 -500 C424 -530 414 -553 394 -568 C374 -584 346 -592 311 -592 C242 -592 "
    "195 -552 170 -471 L40 -501 C62 -568 96 -617 141 -649 C186 -682 243 -698 313 -698 C389 -698 "
    "449 -682 495 -649 C540 -617 563 -573 563 -519 C563 -477 551 -442 528 -414 C505 -386 471 "
    "-366 426 -355 C475 -347 513 -330 540 -302 C567 -274 581 -238 581 -195 C581 -133 556 -83 508 "
    "-46 C459 -9 394 10 312 10 M1349 -347 C1349 -276 1335 -213 1307 -158 C1278 -104 1238 -62 "
    "1185 -33 C1132 -5 1071 10 1000 10 C892 10 808 -22 746 -86 C685 -149 654 -236 654 -347 C654 "
    "-458 685 -544 746 -605 C807 -667 892 -698 1001 -698 C1110 -698 1196 -667 1257 -605 C1318 "
    "-542 1349 -456 1349 -347 M1202 -347 C1202 -421 1185 -480 1149 -522 C1114 -564 1065 -585 "
    "1001 -585 C937 -585 887 -564 852 -522 C817 -480 799 -422 799 -347 C799 -272 817 -212 853 "
    "-169 C889 -125 938 -104 1000 -104 C1065 -104 1115 -125 1150 -167 C1185 -209 1202 -269 1202 "
    "-347 M2024 -470 C2024 -426 2014 -386 1994 -352 C1974 -317 1945 -290 1907 -271 C1869 -252 "
    "1825 -242 1773 -242 L1602 -242 L1602 0 L1458 0 L1458 -688 L1767 -688 C1849 -688 1913 -669 "
    "1957 -631 C2002 -593 2024 -540 2024 -470 M1879 -468 C1879 -540 1836 -576 1751 -576 L1602 "
    "-576 L1602 -353 L1755 -353 C1795 -353 1825 -363 1847 -383 C1868 -402 1879 -431 1879 -468 "
    "M2125 0 L2125 -688 L2666 -688 L2666 -577 L2269 -577 L2269 -404 L2636 -404 L2636 -293 L2269 "
    "-293 L2269 -111 L2686 -111 L2686 0 L2125 0 M3221 -569 L3022 -569 L2998 -399 C2981 -277 2964 "
    "-189 2947 -137 C2930 -85 2909 -48 2884 -25 C2859 -3 2823 8 2777 8 C2755 8 2739 5 2729 0 "
    "L2729 -121 C2733 -119 2740 -118 2750 -118 C2768 -118 2784 -129 2796 -152 C2808 -175 2819 "
    "-212 2830 -263 C2840 -314 2851 -379 2862 -457 L2895 -688 L3360 -688 L3360 0 L3221 0 L3221 "
    "-569";
constexpr qreal kLetterAscent = 90.5;
constexpr qreal kLetterHeight = 90.5 + 21.2;
constexpr qreal kEightZAdvance = 116.7;
constexpr qreal kZorelAdvance = 342.6;

QPainterPath lettering(const char* outline) {
    QPainterPath path;
    const char* c = outline;
    auto number = [&c] {
        while (*c == ' ')
            ++c;
        const bool negative = *c == '-';
        if (negative)
            ++c;
        int v = 0;
        while (*c >= '0' && *c <= '9')
            v = v * 10 + (*c++ - '0');
        return (negative ? -v : v) / 10.0;
    };
    while (*c) {
        while (*c == ' ')
            ++c;
        const char op = *c ? *c++ : 0;
        if (op == 'M' || op == 'L') {
            const qreal x = number();
            const qreal y = number();
            op == 'M' ? path.moveTo(x, y) : path.lineTo(x, y);
        } else if (op == 'C') {
            qreal v[6];
            for (qreal& n : v)
                n = number();
            path.cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]);
        }
    }
    path.setFillRule(Qt::WindingFill);
    return path;
}

// The lettering centred in `box` as text of `pixelSize` would be.
void drawLettering(QPainter& p, const char* outline, qreal advance, int pixelSize, const QRectF& box) {
    const qreal scale = pixelSize / 100.0;
    p.save();
    p.translate(box.left() + (box.width() - advance * scale) / 2,
                box.top() + (box.height() - kLetterHeight * scale) / 2 + kLetterAscent * scale);
    p.scale(scale, scale);
    p.drawPath(lettering(outline));
    p.restore();
}

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
    p.setBrush(Qt::white);
    drawLettering(p, kEightZ, kEightZAdvance, int(sw * 0.3), QRectF(left, centre.y() - sw * 0.2, sw, sw * 0.4));
    drawLettering(p, kZorel, kZorelAdvance, int(h * 0.13), QRectF(left, h * 0.7, sw, h * 0.16));
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
