// A table that fits the screen: the window never opens larger than its
// screen's available area, the player may resize it, and the whole table
// (felt, cards, texts and controls) follows at one scale that keeps its
// proportions.
//
// The table is designed at one size in pixels (the board of 425 x 277 dialog
// units with its controls at their places). "Options" -> "Taille de la table"
// chooses the opening size: "Ajuster à l'écran" (the default) opens it at its
// designed size where that fits and scaled down to fit where it does not;
// 100 %, 150 % and 200 % open it at that size, scaled down too when the
// screen is smaller. At 100 % on a screen where it fits, every pixel is as
// designed. After opening, the scale is the largest at which the designed
// table fits the board the player has left it.
#pragma once

#include <QFont>
#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class BoardWidget;
class QAction;
class QActionGroup;
class QDialog;
class QLayout;
class QMenu;

class TableFit : public QObject {
    Q_OBJECT

  public:
    // Takes every control of `board` at its designed place and the board's
    // designed size as they are now, adds "Taille de la table" to `options`,
    // and sizes `window` for the remembered choice. Lives as long as the
    // window (its child).
    TableFit(QDialog* window, BoardWidget* board, QLayout* layout, QMenu* options);

    // The remembered choice: TABLE_SIZE_FIT or a percentage.
    int SizeChoice() const { return choice_; }
    // Chooses, remembers and sizes the window for it at once.
    void Choose(int choice);
    // The menu item of a choice (TABLE_SIZE_FIT, 100, 150, 200), or null.
    QAction* ChoiceItem(int choice) const;
    // The table's scale now.
    qreal Scale() const { return scale_; }
    QSize DesignSize() const { return design_; }

    // Sizes the window for the choice on the screen it is on.
    void FitWindow();

  private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Puts the controls and their fonts at `scale` and tells the board.
    void Apply(qreal scale);

    struct Control {
        QWidget* widget;
        QRect design;
        QFont font;
    };
    QDialog* window_;
    BoardWidget* board_;
    QLayout* layout_;
    std::vector<Control> controls_;
    QSize design_;
    QSize chrome_;  // what the window adds around the board (menu bar, status line)
    QActionGroup* items_ = nullptr;
    int choice_;
    qreal scale_ = 1.0;
    bool shownOnce_ = false;
};
