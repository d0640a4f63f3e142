// Converts one icon image from XPM to PNG at build time, for the desktop's icon theme and the
// web page's app icons, which enlarge it by whole steps without smoothing so every pixel stays crisp.
//
//   namoro_iconpng <in.xpm> <out.png> [size]

#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int size = argc == 4 ? std::atoi(argv[3]) : 0;
    if ((argc != 3 && argc != 4) || (argc == 4 && size <= 0)) {
        std::fprintf(stderr, "usage: namoro_iconpng <in.xpm> <out.png> [size]\n");
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]), "XPM");
    if (image.isNull()) {
        std::fprintf(stderr, "namoro_iconpng: cannot read %s\n", argv[1]);
        return 1;
    }
    if (size > 0)
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "namoro_iconpng: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
