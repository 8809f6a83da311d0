// The connect dialog: asks for a nickname, an address and a port, and makes
// this program the host of a table or joins one.
//
// It is modal over the table window, which keeps receiving its socket events
// and repaints while the dialog is open. Only "Être hôte", "Rejoindre" and the
// close box end it; Escape and Enter do nothing. The fields start as the
// last successful host or join left them (table/settings.h), or else empty,
// this machine's address and port 7171. Its end result is 1 when the
// new socket could not be registered for events (the caller ends the
// program), 0 in every other case: success, any other failure, the close box.
#pragma once

#include <QDialog>

#include <QByteArray>
#include <QString>

class DialogLayout;
class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

// The box shown when Host, Join or Jouer is pressed without a nickname.
constexpr const char* NAME_MISSING_TEXT = "Please enter a name to indentify yourself.";

// The text as UTF-8, cut to at most maxBytes bytes without splitting a
// character (nicknames and chat lines travel in fixed byte budgets).
QByteArray Utf8Prefix(const QString& text, int maxBytes);

// True when the nickname field of `dialog` holds a name; otherwise shows
// the NAME_MISSING_TEXT box, puts the focus back in the field and returns
// false (the dialog stays open).
bool NicknameGiven(QWidget* dialog, QLineEdit* nickname);

// The Winsock error box: the text, the caption "Winsock Error", the
// exclamation icon and one OK button, owned by `owner`.
void ShowWinsockError(QWidget* owner, const char* text);

// The box for an address that names no machine this program can reach
// (ConnectStep::UnknownHost or NoIpv4Host), naming the address as typed.
void ShowAddressProblem(QWidget* owner, bool ipv6Only, const QString& address);

// The host's "Délai de jeu" choice, placed at (x, y) in dialog units of
// `layout`, with its label to the left: "Aucun", "30 s", "60 s", "120 s",
// starting at the remembered one. TurnLimitOf reads the seconds (0 none).
QComboBox* AddTurnLimitChoice(QWidget* dialog, const DialogLayout& layout, int x, int y);
int TurnLimitOf(const QComboBox* choice);

class ConnectDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ConnectDialog(QWidget* owner);

    // The dialog's fields and buttons, by control id (IDC_NICKNAME, IDC_IP,
    // IDC_PORT, IDC_HOST, IDC_JOIN); null for any other id.
    QLineEdit* Field(int id) const;
    QPushButton* Button(int id) const;
    // The host's turn limit ("Délai de jeu").
    QComboBox* TurnLimitChoice() const { return turnLimit_; }

    // Starts the network once per run and fills the fields (the remembered
    // ones over the defaults); ends the dialog
    // with 0 when the network cannot start. Runs when the dialog is shown.
    void OnInitDialog();
    // "Être hôte" (IDC_HOST) and "Rejoindre" (IDC_JOIN).
    void OnCommand(int id);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape: nothing happens.
    void reject() override {}

  private:
    QLineEdit* nickname_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* host_ = nullptr;
    QPushButton* join_ = nullptr;
    QComboBox* turnLimit_ = nullptr;
    bool initialised_ = false;
};

// Runs the connect dialog modally over owner and returns its end result.
int RunConnectDialog(QWidget* owner);
