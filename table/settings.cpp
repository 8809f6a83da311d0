#include "table/settings.h"

#include <QByteArray>
#include <QSettings>
#include <string_view>

namespace {

// The keys of the settings file, in its groups.
constexpr const char* KEY_CONNECT_NICKNAME = "connect/nickname";
constexpr const char* KEY_CONNECT_ADDRESS = "connect/address";
constexpr const char* KEY_CONNECT_PORT = "connect/port";
constexpr const char* KEY_COMPUTER_NICKNAME = "computer/nickname";
constexpr const char* KEY_COMPUTER_LEVEL = "computer/level";
constexpr const char* KEY_NICKNAME = "player/nickname";
constexpr const char* KEY_TURN_LIMIT = "host/turnLimit";
constexpr const char* KEY_SHOW_MOVES = "options/showMoves";
constexpr const char* KEY_SOUNDS = "options/sounds";
constexpr const char* KEY_FOUR_COLOURS = "options/fourColours";
constexpr const char* KEY_HAND_BY_STRENGTH = "options/handByStrength";
constexpr const char* KEY_TABLE_SIZE = "options/tableSize";

QString Key(const char* key) {
    return QString::fromLatin1(key);
}

// The one nickname; before there was one, each dialog kept its own.
QString Nickname(const QSettings& settings, const char* dialogKey) {
    return settings.value(Key(KEY_NICKNAME), settings.value(Key(dialogKey))).toString();
}

}  // namespace

QString LoadNickname() {
    const QSettings settings;
    return settings.value(Key(KEY_NICKNAME)).toString();
}

bool LoadConnectFields(ConnectFields* fields) {
    const QSettings settings;
    if (!settings.contains(Key(KEY_CONNECT_NICKNAME))) return false;
    fields->nickname = Nickname(settings, KEY_CONNECT_NICKNAME);
    fields->address = settings.value(Key(KEY_CONNECT_ADDRESS)).toString();
    fields->port = settings.value(Key(KEY_CONNECT_PORT)).toString();
    return true;
}

void SaveConnectFields(const ConnectFields& fields) {
    QSettings settings;
    settings.setValue(Key(KEY_CONNECT_NICKNAME), fields.nickname);
    settings.setValue(Key(KEY_NICKNAME), fields.nickname);
    settings.setValue(Key(KEY_CONNECT_ADDRESS), fields.address);
    settings.setValue(Key(KEY_CONNECT_PORT), fields.port);
}

bool LoadComputerFields(ComputerFields* fields) {
    const QSettings settings;
    if (!settings.contains(Key(KEY_COMPUTER_NICKNAME))) return false;
    fields->nickname = Nickname(settings, KEY_COMPUTER_NICKNAME);
    const QByteArray level = settings.value(Key(KEY_COMPUTER_LEVEL)).toString().toLatin1();
    ParseBotLevel(std::string_view(level.constData(), static_cast<std::size_t>(level.size())),
                  &fields->level);
    return true;
}

void SaveComputerFields(const ComputerFields& fields) {
    QSettings settings;
    settings.setValue(Key(KEY_COMPUTER_NICKNAME), fields.nickname);
    settings.setValue(Key(KEY_NICKNAME), fields.nickname);
    settings.setValue(Key(KEY_COMPUTER_LEVEL), QString::fromLatin1(BotLevelName(fields.level)));
}

int LoadTurnLimit() {
    return QSettings().value(Key(KEY_TURN_LIMIT), 0).toInt();
}

void SaveTurnLimit(int seconds) {
    QSettings().setValue(Key(KEY_TURN_LIMIT), seconds);
}

WindowOptions LoadWindowOptions() {
    const QSettings settings;
    WindowOptions options;
    options.showMoves = settings.value(Key(KEY_SHOW_MOVES), options.showMoves).toBool();
    options.sounds = settings.value(Key(KEY_SOUNDS), options.sounds).toBool();
    options.fourColours = settings.value(Key(KEY_FOUR_COLOURS), options.fourColours).toBool();
    options.handByStrength =
        settings.value(Key(KEY_HAND_BY_STRENGTH), options.handByStrength).toBool();
    return options;
}

void SaveWindowOptions(const WindowOptions& options) {
    QSettings settings;
    settings.setValue(Key(KEY_SHOW_MOVES), options.showMoves);
    settings.setValue(Key(KEY_SOUNDS), options.sounds);
    settings.setValue(Key(KEY_FOUR_COLOURS), options.fourColours);
    settings.setValue(Key(KEY_HAND_BY_STRENGTH), options.handByStrength);
}

int LoadTableSize() {
    const QSettings settings;
    const int percent = settings.value(Key(KEY_TABLE_SIZE), TABLE_SIZE_FIT).toInt();
    // Anything else than the menu's sizes (an edited file) fits the screen.
    return percent == 100 || percent == 150 || percent == 200 ? percent : TABLE_SIZE_FIT;
}

void SaveTableSize(int percent) {
    QSettings settings;
    settings.setValue(Key(KEY_TABLE_SIZE), percent);
}
