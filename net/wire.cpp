#include "net/wire.h"

#include <cstring>

namespace {

void PutU16LE(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32LE(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetU32LE(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutU16BE(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v & 0xFF);
}

void PutU32BE(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::uint16_t GetU16BE(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

std::uint32_t GetU32BE(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

}  // namespace

bool IsKnownMessageType(std::uint8_t type) {
    const int signedType = static_cast<std::int8_t>(type);
    return signedType >= 1 && signedType <= MSG_TYPE_LAST;
}

const MessageKind* MessageKindOf(std::uint8_t type) {
    return IsKnownMessageType(type) ? &MESSAGE_KINDS[type] : nullptr;
}

bool ReceivedBy(std::uint8_t type, bool host) {
    const MessageKind* kind = MessageKindOf(type);
    return kind != nullptr && (kind->receivers & (host ? TO_HOST : TO_CLIENT)) != 0;
}

Frame FrameAt(const std::uint8_t* data, std::size_t available) {
    if (available == 0) return {Frame::kIncomplete, 0};
    const MessageKind* kind = MessageKindOf(data[MSG_TYPE_OFFSET]);
    if (kind == nullptr) return {Frame::kUnknownType, 1};
    const auto size = static_cast<std::size_t>(kind->size);
    if (!kind->lengthInPayload) return {Frame::kMessage, size};
    if (available < size) return {Frame::kIncomplete, 0};
    return {Frame::kMessage, size + ReadU16LE(data + MSG_CHAT_LENGTH_OFFSET)};
}

void CopyReceivedName(char out[NAME_SIZE], const std::uint8_t* in) {
    bool ended = false;
    for (int i = 0; i < NAME_SIZE; ++i) {
        out[i] = ended ? '\0' : static_cast<char>(in[i]);
        if (in[i] == 0) ended = true;
    }
    out[NAME_MAX_CHARS] = '\0';  // a name without a NUL is cut to 16 characters
}

void EncodeSeatRecord(const SeatRecord& record, std::uint8_t out[SEAT_RECORD_SIZE]) {
    std::memset(out, 0, SEAT_RECORD_SIZE);
    out[SEAT_NUMBER_OFFSET] = static_cast<std::uint8_t>(record.number);
    std::memcpy(out + SEAT_NAME_OFFSET, record.name, NAME_SIZE);
    PutU32LE(out + SEAT_SOCK_OFFSET, record.sock);
    PutU16LE(out + SEAT_FAMILY_OFFSET, record.addr.family);
    PutU16BE(out + SEAT_PORT_OFFSET, record.addr.port);
    PutU32BE(out + SEAT_IPV4_OFFSET, record.addr.ipv4);
}

void DecodeSeatRecord(const std::uint8_t in[SEAT_RECORD_SIZE], SeatRecord* record) {
    record->number = static_cast<std::int8_t>(in[SEAT_NUMBER_OFFSET]);
    CopyReceivedName(record->name, in + SEAT_NAME_OFFSET);
    record->sock = GetU32LE(in + SEAT_SOCK_OFFSET);
    record->addr.family = ReadU16LE(in + SEAT_FAMILY_OFFSET);
    record->addr.port = GetU16BE(in + SEAT_PORT_OFFSET);
    record->addr.ipv4 = GetU32BE(in + SEAT_IPV4_OFFSET);
}

int BuildJoin(std::uint8_t* out, const char* name) {
    out[0] = MSG_JOIN;
    // The name field is always 17 bytes: the nickname, its NUL, zeroes.
    std::memset(out + 1, 0, NAME_SIZE);
    const std::size_t length = strnlen(name, NAME_MAX_CHARS);
    std::memcpy(out + 1, name, length);
    return MSG_JOIN_SIZE;
}

int BuildSeatInfo(std::uint8_t* out, const SeatRecord& record) {
    out[0] = MSG_SEAT_INFO;
    EncodeSeatRecord(record, out + 1);
    return MSG_SEAT_INFO_SIZE;
}

int BuildDeal(std::uint8_t* out, const std::uint8_t hands[SEAT_COUNT + 1][HAND_SIZE]) {
    out[0] = MSG_DEAL;
    for (int s = 0; s <= SEAT_COUNT; ++s) {
        std::memcpy(out + MSG_DEAL_HANDS_OFFSET + HAND_SIZE * s, hands[s], HAND_SIZE);
    }
    return MSG_DEAL_SIZE;
}

int BuildSeatAssign(std::uint8_t* out, int seat) {
    out[0] = MSG_SEAT_ASSIGN;
    out[1] = static_cast<std::uint8_t>(seat);
    return MSG_SEAT_ASSIGN_SIZE;
}

int BuildSeatLeft(std::uint8_t* out, int seat) {
    out[0] = MSG_SEAT_LEFT;
    out[1] = static_cast<std::uint8_t>(seat);
    return MSG_SEAT_LEFT_SIZE;
}

int BuildPlay(std::uint8_t* out, int seat, const std::uint8_t selection[HAND_SIZE]) {
    out[0] = MSG_PLAY;
    out[1] = static_cast<std::uint8_t>(seat);
    std::memcpy(out + MSG_PLAY_SELECTION_OFFSET, selection, HAND_SIZE);
    return MSG_PLAY_SIZE;
}

int BuildPass(std::uint8_t* out, int seat) {
    out[0] = MSG_PASS;
    out[1] = static_cast<std::uint8_t>(seat);
    return MSG_PASS_SIZE;
}

int BuildChat(std::uint8_t* out, int seat, const char* text, int length) {
    if (length < 0) length = 0;
    if (length > CHAT_MAX_CHARS) length = CHAT_MAX_CHARS;
    out[0] = MSG_CHAT;
    out[1] = static_cast<std::uint8_t>(seat);
    PutU16LE(out + MSG_CHAT_LENGTH_OFFSET, static_cast<std::uint16_t>(length + 1));
    std::memcpy(out + MSG_CHAT_TEXT_OFFSET, text, static_cast<std::size_t>(length));
    out[MSG_CHAT_TEXT_OFFSET + length] = 0;
    return MSG_CHAT_HEADER_SIZE + length + 1;
}

int BuildAway(std::uint8_t* out, int seat, int flag) {
    out[0] = MSG_AWAY;
    out[1] = static_cast<std::uint8_t>(seat);
    out[MSG_AWAY_FLAG_OFFSET] = static_cast<std::uint8_t>(flag);
    return MSG_AWAY_SIZE;
}

bool IsCompleteDeal(const std::uint8_t* hands65) {
    bool seen[DECK_SIZE] = {};
    for (int i = HAND_SIZE; i < (SEAT_COUNT + 1) * HAND_SIZE; ++i) {
        const std::uint8_t card = hands65[i];
        if (card >= DECK_SIZE || seen[card]) return false;
        seen[card] = true;
    }
    return true;  // 52 bytes, no repeat, all below 52: every card once
}
