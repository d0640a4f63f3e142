// Converts one icon image from XPM to PNG at build time, for the desktop's icon theme and the
// web page's app icons, which enlarge it by whole steps without smoothing so every pixel stays crisp.
// Given a canvas size and a colour too, it draws the enlarged icon in the middle of a canvas
// of that colour: a maskable app icon, whose middle stays whatever shape a launcher cuts.
//
//   namoro_iconpng <in.xpm> <out.png> [size [canvas colour]]

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int size = argc >= 4 ? std::atoi(argv[3]) : 0;
    const int canvas = argc == 6 ? std::atoi(argv[4]) : 0;
    const QColor colour = argc == 6 ? QColor(QString::fromLatin1(argv[5])) : QColor();
    if ((argc != 3 && argc != 4 && argc != 6) || (argc >= 4 && size <= 0) || (argc == 6 && (canvas < size || !colour.isValid()))) {
        std::fprintf(stderr, "usage: namoro_iconpng <in.xpm> <out.png> [size [canvas colour]]\n");
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]), "XPM");
    if (image.isNull()) {
        std::fprintf(stderr, "namoro_iconpng: cannot read %s\n", argv[1]);
        return 1;
    }
    if (size > 0)
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (canvas > 0) {
        QImage framed(canvas, canvas, QImage::Format_RGB32);
        framed.fill(colour);
        QPainter(&framed).drawImage((canvas - size) / 2, (canvas - size) / 2, image);
        image = framed;
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "namoro_iconpng: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
