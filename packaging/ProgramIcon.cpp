#include "ProgramIcon.h"

namespace namoro::packaging {

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QString::fromLatin1(kIcon32x16), QSize(32, 32));
    icon.addFile(QString::fromLatin1(kIcon16x16), QSize(16, 16));
    return icon;
}

} // namespace namoro::packaging
