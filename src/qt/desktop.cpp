#include "desktop.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "code_page_1250.h"
#include "default_extension.h"

namespace {

Desktop theDesktop;
Desktop* installed = nullptr;

// The caption of a message box without one of its own: the program's name.
const QString kProgramCaption = QStringLiteral("ZYL default");

QFileDialog::Options fileDialogOptions() {
    // The Qt dialog behaves the same on every desktop; replacing a file is not asked about.
    return QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite;
}

}  // namespace

Desktop& Desktop::current() {
    return installed ? *installed : theDesktop;
}

void Desktop::install(Desktop* desktop) {
    installed = desktop;
}

Desktop::Answer Desktop::messageBox(QWidget* owner, const QString& text, const QString& caption,
                                    Buttons buttons) {
    QMessageBox box(owner);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(caption.isEmpty() ? kProgramCaption : caption);
    box.setText(text);
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

int Desktop::runModal(QDialog& dialog) {
    return dialog.exec();
}

QString Desktop::openFileName(QWidget* owner, const FileFilter& filter) {
    // The dialog takes a typed name that does not exist; the caller reports a name that
    // cannot be opened.
    QFileDialog dialog(owner, {}, {}, QString::fromStdString(cp1250ToUtf8(filter.description)));
    dialog.setOptions(fileDialogOptions());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const std::string chosen = dialog.selectedFiles().constFirst().toStdString();
    return QString::fromStdString(openedPath(chosen, filter.extension, [](const std::string& path) {
        return QFileInfo::exists(QString::fromStdString(path));
    }));
}

QString Desktop::saveFileName(QWidget* owner, const FileFilter& filter) {
    const QString path =
        QFileDialog::getSaveFileName(owner, {}, {}, QString::fromStdString(cp1250ToUtf8(filter.description)),
                                     nullptr, fileDialogOptions());
    return QString::fromStdString(savedPath(path.toStdString(), filter.extension));
}

void Desktop::openExternal(const QString& fileOrUrl) {
    const QUrl url = QUrl::fromUserInput(fileOrUrl, QDir::currentPath(), QUrl::AssumeLocalFile);
    QDesktopServices::openUrl(url);
}

Desktop::LocalTime Desktop::localTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}
