#include "desktop.h"

#include <QApplication>
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

QString withExtension(const QString& path, const Desktop::FileFilter& filter) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return path + QLatin1Char('.') + filter.extension;
}

QFileDialog::Options fileDialogOptions() {
    // The Qt dialog behaves the same on every desktop; replacing a file is not asked about.
    return QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite;
}

}  // namespace

Desktop& Desktop::current() { return installed ? *installed : theDesktop; }

void Desktop::install(Desktop* desktop) { installed = desktop; }

Desktop::Answer Desktop::messageBox(QWidget* owner, const QString& text, const QString& caption, Buttons buttons) {
    QMessageBox box(owner);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(caption.isEmpty() ? QApplication::applicationDisplayName() : caption);
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

int Desktop::runModal(QDialog& dialog) { return dialog.exec(); }

QString Desktop::openFileName(QWidget* owner, const FileFilter& filter) {
    const QString path = QFileDialog::getOpenFileName(owner, {}, {}, filter.description, nullptr,
                                                      fileDialogOptions());
    return withExtension(path, filter);
}

QString Desktop::saveFileName(QWidget* owner, const FileFilter& filter) {
    const QString path = QFileDialog::getSaveFileName(owner, {}, {}, filter.description, nullptr,
                                                      fileDialogOptions());
    return withExtension(path, filter);
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
