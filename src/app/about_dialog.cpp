#include "about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "app_icon.h"
#include "dialog_units.h"
#include "maker_info.h"

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ZYL default"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    const DialogUnits du(this);
    setFixedSize(du.toPixels(235, 55));

    auto* icon = new QLabel(this);
    du.place(icon, 11, 17, 20, 20);
    icon->setPixmap(appIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* version = new QLabel(QStringLiteral("ZYL default Verze 130218"), this);
    version->setObjectName(QStringLiteral("version"));
    version->setTextFormat(Qt::PlainText);
    du.place(version, 40, 10, 119, 8);

    auto* notice = new QLabel(QString::fromUtf8(kMakerNotice), this);
    du.place(notice, 40, 25, 119, 8);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    du.place(ok, 178, 7, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* web = new QLabel(QString::fromUtf8(kMakerWebAddress), this);
    du.place(web, 40, 35, 97, 8);
}
