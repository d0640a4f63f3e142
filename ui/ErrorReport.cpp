#include "ErrorReport.h"

#include <QMessageBox>

namespace namoro::ui {

void reportRuntimeError(QWidget* parent, const runtime::RuntimeError& error)
{
    QMessageBox::critical(parent, QStringLiteral("namoro"),
                          QStringLiteral("Run-time error '%1':\n\n%2").arg(error.code()).arg(QString::fromUtf8(error.what())));
}

} // namespace namoro::ui
