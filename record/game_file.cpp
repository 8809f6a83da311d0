#include "record/game_file.h"

#include <algorithm>
#include <cstring>

namespace {

void PutLE(std::uint8_t* out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLE(const std::uint8_t* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

bool Refuse(GameFileError* error, std::size_t offset, std::string what) {
    error->offset = offset;
    error->what = std::move(what);
    return false;
}

bool IsSavedMessage(std::uint8_t type) {
    return type == MSG_DEAL || type == MSG_NEW_GAME || type == MSG_PLAY || type == MSG_PASS;
}

// The size of the game message at p (at least one byte), or 0 for a type a
// game file does not hold.
std::size_t SavedMessageSize(std::uint8_t type) {
    if (!IsSavedMessage(type)) return 0;
    return static_cast<std::size_t>(MessageKindOf(type)->size);
}

}  // namespace

std::vector<std::uint8_t> EncodeGameFile(const GameFileHeader& header, const std::uint8_t* messages,
                                         std::size_t size) {
    std::vector<std::uint8_t> out(GAME_FILE_HEADER_SIZE + size, 0);
    std::memcpy(out.data(), GAME_FILE_MAGIC, GAME_FILE_MAGIC_SIZE);
    PutLE(out.data() + GAME_FILE_VERSION_OFFSET, GAME_FILE_VERSION, 2);
    PutLE(out.data() + GAME_FILE_STARTED_OFFSET, static_cast<std::uint64_t>(header.startedMs), 8);
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::uint8_t* name = out.data() + GAME_FILE_NAMES_OFFSET + (s - 1) * NAME_SIZE;
        const std::size_t length = strnlen(header.names[s], NAME_MAX_CHARS);
        std::memcpy(name, header.names[s], length);
    }
    out[GAME_FILE_SEAT_OFFSET] = static_cast<std::uint8_t>(header.playerSeat);
    PutLE(out.data() + GAME_FILE_LENGTH_OFFSET, size, 4);
    if (size > 0) std::memcpy(out.data() + GAME_FILE_HEADER_SIZE, messages, size);
    return out;
}

bool ApplyGameFileMessage(GameTable* table, const std::uint8_t* msg, std::size_t len) {
    if (len == 0) return false;
    switch (msg[MSG_TYPE_OFFSET]) {
        case MSG_DEAL: {
            if (len != MSG_DEAL_SIZE || !IsCompleteDeal(msg + MSG_DEAL_HANDS_OFFSET)) return false;
            std::memset(table->hands[0], NO_CARD, HAND_SIZE);
            for (int s = 1; s <= SEAT_COUNT; ++s)
                std::memcpy(table->hands[s], msg + MSG_DEAL_HANDS_OFFSET + HAND_SIZE * s,
                            HAND_SIZE);
            table->ResetRound();
            return true;
        }
        case MSG_NEW_GAME:
            table->StartNewGame();
            return true;
        case MSG_PLAY: {
            if (len != MSG_PLAY_SIZE) return false;
            std::uint8_t chosen[HAND_SIZE];
            std::memcpy(chosen, msg + MSG_PLAY_SELECTION_OFFSET, HAND_SIZE);
            return table->Play(SeatByte(msg[MSG_SEAT_OFFSET]), chosen) != 0;
        }
        case MSG_PASS:
            return len == MSG_PASS_SIZE && table->Pass(SeatByte(msg[MSG_SEAT_OFFSET])) != 0;
        default:
            return false;
    }
}

bool ReadGameFile(const std::uint8_t* data, std::size_t size, GameFile* file,
                  GameFileError* error) {
    if (size < GAME_FILE_MAGIC_SIZE ||
        std::memcmp(data, GAME_FILE_MAGIC, GAME_FILE_MAGIC_SIZE) != 0)
        return Refuse(error, 0, "ce n'est pas une partie de Vantoro (signature absente)");
    if (size < GAME_FILE_HEADER_SIZE)
        return Refuse(error, size, "fichier tronqué dans son en-tête");
    const auto version = static_cast<std::uint16_t>(GetLE(data + GAME_FILE_VERSION_OFFSET, 2));
    if (version != GAME_FILE_VERSION)
        return Refuse(error, GAME_FILE_VERSION_OFFSET,
                      "version " + std::to_string(version) + " du format inconnue (attendue : " +
                          std::to_string(GAME_FILE_VERSION) + ")");
    GameFileHeader& header = file->header;
    header.startedMs = static_cast<std::int64_t>(GetLE(data + GAME_FILE_STARTED_OFFSET, 8));
    std::memset(header.names, 0, sizeof header.names);
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        const std::uint8_t* name = data + GAME_FILE_NAMES_OFFSET + (s - 1) * NAME_SIZE;
        if (std::memchr(name, 0, NAME_SIZE) == nullptr)
            return Refuse(error,
                          GAME_FILE_NAMES_OFFSET + static_cast<std::size_t>(s - 1) * NAME_SIZE,
                          "le nom de la place " + std::to_string(s) + " n'est pas terminé");
        std::memcpy(header.names[s], name, NAME_SIZE);
    }
    header.playerSeat = SeatByte(data[GAME_FILE_SEAT_OFFSET]);
    if (header.playerSeat < 1 || header.playerSeat > SEAT_COUNT)
        return Refuse(error, GAME_FILE_SEAT_OFFSET,
                      "place du joueur " + std::to_string(header.playerSeat) + " hors de 1 à 4");
    const std::uint64_t length = GetLE(data + GAME_FILE_LENGTH_OFFSET, 4);
    const std::size_t available = size - GAME_FILE_HEADER_SIZE;
    if (length > available)
        return Refuse(error, size,
                      "fichier tronqué : " + std::to_string(length) +
                          " octets de coups annoncés, " + std::to_string(available) + " présents");
    if (length < available)
        return Refuse(error, GAME_FILE_HEADER_SIZE + length, "octets en trop après la partie");

    const std::uint8_t* messages = data + GAME_FILE_HEADER_SIZE;
    GameTable table;
    std::size_t at = 0;
    while (at < length) {
        const std::size_t offset = GAME_FILE_HEADER_SIZE + at;
        const std::uint8_t type = messages[at];
        const std::size_t need = SavedMessageSize(type);
        if (need == 0)
            return Refuse(error, offset, "type de message " + std::to_string(type) + " inattendu");
        if (at == 0 && type != MSG_DEAL)
            return Refuse(error, offset, "la partie ne commence pas par une donne");
        if (need > length - at) return Refuse(error, offset, "message coupé en fin de fichier");
        if (type == MSG_PLAY || type == MSG_PASS) {
            const int seat = SeatByte(messages[at + MSG_SEAT_OFFSET]);
            if (seat < 1 || seat > SEAT_COUNT)
                return Refuse(error, offset + MSG_SEAT_OFFSET,
                              "place " + std::to_string(seat) + " hors de 1 à 4");
        }
        if (!ApplyGameFileMessage(&table, messages + at, need)) {
            switch (type) {
                case MSG_DEAL:
                    return Refuse(error, offset, "donne qui ne contient pas chaque carte une fois");
                case MSG_PLAY:
                    return Refuse(error, offset, "coup refusé par les règles");
                default:
                    return Refuse(error, offset, "passe refusée par les règles");
            }
        }
        at += need;
    }
    if (length == 0)
        return Refuse(error, GAME_FILE_HEADER_SIZE, "la partie ne contient aucune donne");
    file->messages.assign(messages, messages + length);
    return true;
}

std::string GameFileErrorText(const GameFileError& error) {
    return "Cette partie ne peut pas être ouverte : " + error.what + " (octet " +
           std::to_string(error.offset) + ").";
}

GameReplay::GameReplay(const GameFile* file) : file_(file) {
    const std::vector<std::uint8_t>& bytes = file_->messages;
    GameTable table;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::uint8_t type = bytes[at];
        const std::size_t size = SavedMessageSize(type);
        Step step{at, at + size, 0};
        ApplyGameFileMessage(&table, bytes.data() + at, size);
        if (type == MSG_DEAL) {
            // A new game just after the deal belongs to the deal's position.
            if (step.end < bytes.size() && bytes[step.end] == MSG_NEW_GAME) {
                ApplyGameFileMessage(&table, bytes.data() + step.end, MSG_NEW_GAME_SIZE);
                step.end += MSG_NEW_GAME_SIZE;
            }
            roundStarts_.push_back(PositionCount());
            roundTables_.push_back(table);
        } else if (type == MSG_NEW_GAME) {
            // A new game on its own (never written by this program) starts
            // nothing to show: it joins the position before it.
            positions_.back().end = step.end;
            at = step.end;
            continue;
        }
        step.round = RoundCount() - 1;
        positions_.push_back(step);
        at = step.end;
    }
    GoTo(0);
}

void GameReplay::GoTo(int position) {
    position_ = std::clamp(position, 0, PositionCount() - 1);
    const Step& step = positions_[static_cast<std::size_t>(position_)];
    table_ = roundTables_[static_cast<std::size_t>(step.round)];
    const std::vector<std::uint8_t>& bytes = file_->messages;
    std::size_t at =
        positions_[static_cast<std::size_t>(roundStarts_[static_cast<std::size_t>(step.round)])]
            .end;
    while (at < step.end) {
        const std::size_t size = SavedMessageSize(bytes[at]);
        ApplyGameFileMessage(&table_, bytes.data() + at, size);
        at += size;
    }
}

void GameReplay::NextRound() {
    const int round = Round();
    if (round < RoundCount())
        GoTo(roundStarts_[static_cast<std::size_t>(round)]);
    else
        GoTo(PositionCount() - 1);
}

void GameReplay::PreviousRound() {
    int round = Round() - 1;  // index of this round
    if (Move() == 0 && round > 0) --round;
    GoTo(roundStarts_[static_cast<std::size_t>(round)]);
}

int GameReplay::Round() const {
    return positions_[static_cast<std::size_t>(position_)].round + 1;
}

int GameReplay::Move() const {
    return position_ - roundStarts_[static_cast<std::size_t>(Round() - 1)];
}

int GameReplay::MovesInRound() const {
    const int round = Round();
    const int end =
        round < RoundCount() ? roundStarts_[static_cast<std::size_t>(round)] : PositionCount();
    return end - roundStarts_[static_cast<std::size_t>(round - 1)] - 1;
}

const std::uint8_t* GameReplay::MessageAt(int position, std::size_t* size) const {
    const Step& step = positions_[static_cast<std::size_t>(position)];
    *size = SavedMessageSize(file_->messages[step.begin]);
    return file_->messages.data() + step.begin;
}
