#include "ErrorReport.h"

#include "face/PlayerTexts.h"

#include <QMessageBox>

namespace namoro::ui {

void reportRuntimeError(QWidget* parent, const runtime::RuntimeError& error)
{
    QMessageBox::critical(parent, QString::fromUtf8(window::texts::kErrorTitle),
                          QString::fromStdString(window::texts::errorText(error.code(), error.what())));
}

} // namespace namoro::ui
