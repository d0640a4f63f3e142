// Converts one icon image from XPM to PNG at build time, for the desktop's icon theme.
//
//   namoro_iconpng <in.xpm> <out.png>

#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: namoro_iconpng <in.xpm> <out.png>\n");
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]), "XPM");
    if (image.isNull()) {
        std::fprintf(stderr, "namoro_iconpng: cannot read %s\n", argv[1]);
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "namoro_iconpng: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
