#include "desktop.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

Desktop theDesktop;
Desktop* installed = nullptr;

// The caption of a message box without one of its own: the program's name.
const QString kProgramCaption = QStringLiteral("ZYL default");

// A name typed without an extension is saved with the default one.
QString savePath(const QString& path, const Desktop::FileFilter& filter) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return path + QLatin1Char('.') + filter.extension;
}

// A file that exists opens under its own name, with an extension or without; only a name
// that does not exist as typed may mean the file with the default extension.
QString openPath(const QString& path, const Desktop::FileFilter& filter) {
    if (path.isEmpty() || QFileInfo::exists(path)) {
        return path;
    }
    const QString withExtension = path + QLatin1Char('.') + filter.extension;
    return QFileInfo::exists(withExtension) ? withExtension : path;
}

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
    QFileDialog dialog(owner, {}, {}, filter.description);
    dialog.setOptions(fileDialogOptions());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return openPath(dialog.selectedFiles().constFirst(), filter);
}

QString Desktop::saveFileName(QWidget* owner, const FileFilter& filter) {
    const QString path =
        QFileDialog::getSaveFileName(owner, {}, {}, filter.description, nullptr, fileDialogOptions());
    return savePath(path, filter);
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
