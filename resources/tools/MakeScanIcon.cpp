// Draws the Scan button icon, 42 x 42 and 84 x 84 (resources/icons). Not part
// of the build; run it by hand after changing the drawing:
//   g++ -std=c++20 -fPIC MakeScanIcon.cpp $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen ./a.out
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

static void Draw(QPainter& p)
{
    // All in a 42 x 42 design space.
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0x1f, 0x5f, 0xbf), sheet(0xff, 0xff, 0xff), sheetBack(0xdc, 0xe8, 0xf8), beam(0xe5, 0x3b, 0x2f);
    // Viewfinder corners.
    QPen corner(blue, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(corner);
    p.setBrush(Qt::NoBrush);
    const double a = 3, b = 39, l = 10;
    p.drawPolyline(QPolygonF({ { a, a + l }, { a, a }, { a + l, a } }));
    p.drawPolyline(QPolygonF({ { b - l, a }, { b, a }, { b, a + l } }));
    p.drawPolyline(QPolygonF({ { a, b - l }, { a, b }, { a + l, b } }));
    p.drawPolyline(QPolygonF({ { b - l, b }, { b, b }, { b, b - l } }));
    // Two sheets, the twin behind the other.
    auto drawSheet = [&](double x, double y, const QColor& fill) {
        QPainterPath path;
        const double w = 15, h = 19, fold = 5;
        path.moveTo(x, y);
        path.lineTo(x + w - fold, y);
        path.lineTo(x + w, y + fold);
        path.lineTo(x + w, y + h);
        path.lineTo(x, y + h);
        path.closeSubpath();
        p.setPen(QPen(blue, 1.6, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
        p.setBrush(fill);
        p.drawPath(path);
        p.drawPolyline(QPolygonF({ { x + w - fold, y }, { x + w - fold, y + fold }, { x + w, y + fold } }));
        p.setPen(QPen(blue, 1.3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(x + 3, y + 8 + 3.5 * i), QPointF(x + w - 3.5, y + 8 + 3.5 * i));
    };
    drawSheet(10, 9, sheetBack);
    drawSheet(17, 14, sheet);
    // The scan beam across both.
    p.setPen(QPen(beam, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 23), QPointF(34.5, 23));
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    for (int scale : { 1, 2 }) {
        QImage img(42 * scale, 42 * scale, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.scale(scale, scale);
        Draw(p);
        p.end();
        img.save(scale == 1 ? QStringLiteral("qr-code-scan.png") : QStringLiteral("qr-code-scan@2x.png"));
    }
}
