#include "key_dialog.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "code_page_1250.h"
#include "desktop.h"
#include "dialog_units.h"
#include "key_code.h"
#include "main_window_link.h"
#include "window_timers.h"

namespace {

const QString kNoKey = QString::fromLatin1(kNoKeyText);

// Floor boxes: six columns of four (1-4, 5-8, ..., 21-24) inside the "Patra" frame.
QRect floorBoxRect(int index) {
    const int column = index / 4;
    const int row = index % 4;
    return QRect(17 + 37 * column, 79 + 12 * row, 30, 10);
}

// Texts typed or stored are counted in the unit's characters: one code page 1250 byte each.
std::string unitBytes(const QString& text) {
    return utf8ToCp1250(text.toStdString());
}

}  // namespace

KeyDialog::KeyDialog(MainWindowLink& link, QWidget* parent)
    : QDialog(parent), link_(link), timers_(new WindowTimers([this](int id) { onTimer(id); }, this)) {
    createControls();
}

KeyDialog::~KeyDialog() = default;

void KeyDialog::createControls() {
    setWindowTitle(QStringLiteral("ZYL key - Přidat/upravit klíč"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    const DialogUnits du(this);
    setFixedSize(du.toPixels(250, 186));

    auto named = [](QWidget* w, int id) {
        w->setObjectName(QString::number(id));
        return w;
    };
    auto label = [&](int id, const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        du.place(named(l, id), x, y, w, h);
        return l;
    };
    auto edit = [&](int id, int x, int y, int w, int h) {
        auto* e = new QLineEdit(this);
        du.place(named(e, id), x, y, w, h);
        return e;
    };

    // The frame first, so the floor boxes lie above it.
    auto* group = new QGroupBox(QStringLiteral("Patra"), this);
    du.place(named(group, kFloorGroup), 7, 66, 236, 76);

    label(kIdLabel, QStringLiteral("ID"), 7, 7, 40, 8);
    label(kKeyLabel, QStringLiteral("Klíč"), 54, 7, 96, 8);
    label(kCommentLabel, QStringLiteral("Komentář"), 7, 36, 236, 8);

    idEdit_ = edit(kIdEdit, 7, 17, 40, 13);
    idEdit_->setEnabled(false);
    keyEdit_ = edit(kKeyEdit, 54, 17, 96, 13);
    keyEdit_->setAlignment(Qt::AlignCenter);
    keyEdit_->setEnabled(false);
    commentEdit_ = edit(kCommentEdit, 7, 46, 236, 13);

    manualEntryBox_ = new QCheckBox(QStringLiteral("Zadat klíč ručně"), this);
    du.place(named(manualEntryBox_, kManualEntryBox), 158, 19, 86, 10);

    for (int k = 0; k < kFloors; ++k) {
        auto* box = new QCheckBox(QString::number(k + 1), this);
        const QRect r = floorBoxRect(k);
        du.place(named(box, kFirstFloorBox + k), r.x(), r.y(), r.width(), r.height());
        floorBoxes_[k] = box;
    }
    allFloorsBox_ = new QCheckBox(QStringLiteral("Vše"), this);
    du.place(named(allFloorsBox_, kAllFloorsBox), 17, 127, 40, 10);

    hintStatic_ =
        label(kHintStatic, QStringLiteral("Přidávání klíčů ukončíte tlačítkem Zpět"), 7, 148, 236, 8);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    du.place(named(okButton_, kOkButton), 139, 166, 50, 14);
    okButton_->setDefault(true);
    auto* backButton = new QPushButton(QStringLiteral("Zpět"), this);
    du.place(named(backButton, kBackButton), 193, 166, 50, 14);

    keyEdit_->installEventFilter(this);
    commentEdit_->installEventFilter(this);
    connect(keyEdit_, &QLineEdit::textEdited, this, [this] { keyTextUnparsed_ = true; });
    connect(allFloorsBox_, &QCheckBox::clicked, this, [this] { onAllFloorsClicked(); });
    connect(manualEntryBox_, &QCheckBox::clicked, this, [this] { onManualEntryClicked(); });
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(backButton, &QPushButton::clicked, this, &QDialog::reject);
}

void KeyDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        onInitDialog();
    }
}

void KeyDialog::onInitDialog() {
    commentEdit_->setText(comment);
    idEdit_->setText(QString::number(keyId));
    keyEdit_->setText(keyText);

    timerId = timers_->start(kReaderTimer, kReaderPeriod);
    if (timerId == 0) {
        Desktop::current().messageBox(this, QStringLiteral("Timer error!"));
        return;
    }
    exchangeStep = 0;
    const bool adding = readerMode == 1;
    if (adding) {
        floorMask.fill(0);
        clearKeyCode();
    }
    keyText = QString::fromStdString(cp1250ToUtf8(keyCodeText(keyCode)));
    if (adding) {
        keyText = kNoKey;
    } else {
        manualEntryBox_->hide();
        hintStatic_->clear();
    }
    keyEdit_->setText(keyText);
    commentEdit_->setText(comment);
    for (int k = 0; k < kFloors; ++k) {
        floorBoxes_[k]->setChecked(floorAllowed(floorMask, k + 1));
    }
    // Bytes left on the line from before the dialog must not pass for a reader answer.
    link_.discardInput();
    idleReads = 0;
    manualEntry = 0;
    allFloors = 0;
}

void KeyDialog::onAllFloorsClicked() {
    allFloors = ~allFloors;
    for (QCheckBox* box : floorBoxes_) {
        box->setChecked(allFloors != 0);
    }
}

void KeyDialog::onManualEntryClicked() {
    clearKeyCode();
    if (manualEntry == 1) {
        keyEdit_->setEnabled(false);
        manualEntry = 0;
        keyTextUnparsed_ = false;
        showKeyText(kNoKey);
    } else {
        keyEdit_->setEnabled(true);
        manualEntry = 1;
        showKeyText(QString());
    }
}

void KeyDialog::onKeyFieldLeft() {
    keyTextUnparsed_ = false;
    if (manualEntry != 1) {
        return;
    }
    if (parseKeyText(unitBytes(keyEdit_->text()), keyCode) != 0) {
        clearKeyCode();
        Desktop::current().messageBox(this, QStringLiteral("Chybný kód klíče!"));
    }
}

void KeyDialog::onCommentLeft() {
    if (static_cast<int>(unitBytes(commentEdit_->text()).size()) > maxCommentLength) {
        Desktop::current().messageBox(
            this, QStringLiteral("Zadaný komentář je příliš dlouhý,\npočet znaků komentáře je maximálně %1.")
                      .arg(maxCommentLength));
    }
}

bool KeyDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !closing_) {
        // A message box or another window taking over leaves the focus where it was; only
        // moving on inside the dialog counts as leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == keyEdit_) {
                onKeyFieldLeft();
            } else if (watched == commentEdit_) {
                onCommentLeft();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool KeyDialog::takeFields() {
    comment = commentEdit_->text();
    bool number = false;
    const int id = idEdit_->text().trimmed().toInt(&number);
    if (!number || id < 0 || id > kMaxKeyId) {
        Desktop::current().messageBox(
            this, QStringLiteral("Zadejte prosím celé číslo v rozsahu 0 až %1.").arg(kMaxKeyId));
        return false;
    }
    keyId = id;
    keyText = keyEdit_->text();
    return true;
}

void KeyDialog::done(int result) {
    // Enter closes the dialog without moving the focus: a typed code still has to be
    // parsed before the caller reads keyCode.
    if (manualEntry == 1 && (keyEdit_->hasFocus() || keyTextUnparsed_)) {
        onKeyFieldLeft();
    }
    if (result == QDialog::Accepted && !takeFields()) {
        return;
    }
    closing_ = true;
    timers_->stop(timerId);
    floorMask.fill(0);
    for (int k = 0; k < kFloors; ++k) {
        if (floorBoxes_[k]->isChecked()) {
            setFloor(floorMask, k + 1, true);
        }
    }
    QDialog::done(result);
}

void KeyDialog::showKeyText(const QString& text) {
    keyText = text;
    keyEdit_->setText(text);
}
