#include "table/game_length_box.h"

#include <QComboBox>
#include <QSettings>

#include "table/window_texts.h"
#include "ui/dialog_units.h"

namespace {

constexpr const char* GAME_LENGTH_KEY = "host/gameLength";
constexpr int CHOICE_COUNT = 4;

}  // namespace

QComboBox* AddGameLengthBox(QWidget* dialog, const DialogLayout& layout, int y) {
    layout.FieldLabel(QString::fromUtf8(GAME_LENGTH_LABEL), 7, y, 60, 12);
    auto* box = new QComboBox(dialog);
    for (const char* choice : GAME_LENGTH_CHOICES) box->addItem(QString::fromUtf8(choice));
    const int remembered = QSettings().value(GAME_LENGTH_KEY, 0).toInt();
    box->setCurrentIndex(remembered >= 0 && remembered < CHOICE_COUNT ? remembered : 0);
    layout.Place(box, 71, y - 1, 113, 14);
    return box;
}

GameLength GameLengthOfBox(const QComboBox* box) {
    switch (box->currentIndex()) {
        case 1:
            return GameLength{10, false};
        case 2:
            return GameLength{20, false};
        case 3:
            return GameLength{0, true};
        default:
            return GameLength{};
    }
}

void HostWithGameLength(const QComboBox* box) {
    HostPolicy policy = CurrentHostPolicy();
    policy.gameLength = GameLengthOfBox(box);
    SetHostPolicy(policy);
    QSettings().setValue(GAME_LENGTH_KEY, box->currentIndex());
}
