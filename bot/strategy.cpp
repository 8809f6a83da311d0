#include "bot/strategy.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

#include "bot/card_sets.h"
#include "bot/hand_partition.h"

// ---------------------------------------------------------------------------
// The choice

namespace {

constexpr float WIN_SCORE = 1.0e6f;     // the move empties the hand
constexpr float FINISH_SCORE = 1.0e3f;  // a sure winner after which one play is left
constexpr int MAX_PLAY_VALUE = 60;      // above every card's play value (the two of spades: 59)

int Binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    int result = 1;
    for (int i = 1; i <= k; ++i) result = result * (n - k + i) / i;
    return result;
}

// How likely a play holds the lead: 0 (anything beats it) to 1 (nothing can).
struct Strength {
    float value;
    bool sure;  // no opponent can beat it with the cards still unseen
};

class Chooser {
  public:
    Chooser(const SeatView& view, const RoundRecord* record, const StrategyParams& params)
        : view_(view), seat_(view.Seat()), params_(params) {
        const std::uint8_t* hand = view.Hand();
        for (int p = 0; p < HAND_SIZE; ++p) {
            localOf_[p] = -1;
            const std::uint8_t card = hand[p];
            if (card == NO_CARD) continue;
            localOf_[p] = k_;
            cards_[k_] = card;
            ++k_;
        }
        full_ = static_cast<CardMask>((1u << k_) - 1);

        // Unseen: neither in this hand, nor played this round, nor on the table.
        for (int c = 0; c < DECK_SIZE; ++c) unseen_[c] = true;
        for (int i = 0; i < k_; ++i) unseen_[cards_[i]] = false;
        for (int i = 0; i < PLAY_SIZE; ++i) MarkSeen(view.TablePlay()[i]);
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            for (int i = 0; i < PLAY_SIZE; ++i) MarkSeen(view.LastPlay(s)[i]);
        }
        if (record != nullptr) {
            for (int c = 0; c < DECK_SIZE; ++c) {
                if (record->Gone(static_cast<std::uint8_t>(c))) unseen_[c] = false;
            }
        }

        opponentMax_ = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            if (s == seat_) continue;
            const int count = view.Held(s);
            opponentHolds_[count] = true;
            opponentMin_ = std::min(opponentMin_, count);
            opponentMax_ = std::max(opponentMax_, count);
        }
        const int leader = view.Leader();
        if (leader != seat_ && leader >= 1 && leader <= SEAT_COUNT) {
            leaderCount_ = view.Held(leader);
        }
    }

    // Takes the hand's groups from groups found earlier for a hand this one
    // is part of, instead of looking for them.
    void TakeGroups(const HandGroups& found) {
        int localOfCard[DECK_SIZE];
        std::fill(localOfCard, localOfCard + DECK_SIZE, -1);
        std::uint64_t held = 0;
        for (int i = 0; i < k_; ++i) {
            localOfCard[cards_[i]] = i;
            held |= std::uint64_t{1} << cards_[i];
        }
        groups_.clear();
        for (std::uint64_t group : found.Groups()) {
            if ((group & ~held) != 0) continue;
            CardMask mask = 0;
            for (std::uint64_t rest = group; rest != 0; rest &= rest - 1) {
                mask = static_cast<CardMask>(mask | (1u << localOfCard[std::countr_zero(rest)]));
            }
            groups_.push_back(mask);
        }
        groupsKnown_ = true;
    }

    // LegalMoves, in its order, from the singles and the groups: every play
    // the rules accept is one of them.
    void LegalMovesFromGroups(std::vector<Move>& moves) const {
        moves.clear();
        const bool freeLead = view_.FreeLead();
        int positionOf[HAND_SIZE];
        for (int p = 0; p < HAND_SIZE; ++p) {
            if (localOf_[p] >= 0) positionOf[localOf_[p]] = p;
        }
        auto consider = [&](CardMask mask) {
            std::uint8_t buffer[PLAY_SIZE];
            const int n = Buffer(mask, buffer);
            if (view_.MustOpenLowest() &&
                std::find(buffer, buffer + n, CARD_OPENING) == buffer + n) {
                return;
            }
            if (!freeLead && GameTable::ComparePlays(view_.TablePlay(), buffer, n) != 1) return;
            std::uint16_t positions = 0;
            for (CardMask rest = mask; rest != 0; rest = static_cast<CardMask>(rest & (rest - 1))) {
                positions = static_cast<std::uint16_t>(positions |
                                                       (1u << positionOf[std::countr_zero(rest)]));
            }
            moves.push_back(PlayMove(positions));
        };
        if (freeLead || view_.TableCount() == 1) {
            for (int i = 0; i < k_; ++i) consider(static_cast<CardMask>(1u << i));
        }
        for (CardMask group : groups_) {
            if (freeLead || std::popcount(group) == view_.TableCount()) consider(group);
        }
        if (seat_ != view_.Leader()) moves.push_back(PassMove());
    }

    void Score(const std::vector<Move>& moves, std::vector<float>& scores) {
        SolvePartition();
        const bool freeLead = view_.FreeLead();
        scores.clear();
        scores.reserve(moves.size());
        for (const Move& move : moves) {
            scores.push_back(move.pass ? PassScore() : PlayScore(LocalMask(move), freeLead));
        }
    }

  private:
    void MarkSeen(std::uint8_t card) {
        if (card < DECK_SIZE) unseen_[card] = false;
    }

    // For plays of 1 to 4 cards, how many groups of that many unseen cards
    // of one rank have their strongest card above each play value.
    void CountUnseenGroups() const {
        unseenGroupsCounted_ = true;
        for (int n = 1; n < PLAY_SIZE; ++n) {
            int byTop[MAX_PLAY_VALUE] = {};
            for (int rank = 0; rank < 13; ++rank) {
                int unseenBelow = 0;
                for (int suit = 0; suit < 4; ++suit) {
                    const int card = 13 * suit + rank;
                    if (!unseen_[card]) continue;
                    // Groups whose strongest card is this one.
                    byTop[GameTable::PlayValue(static_cast<std::uint8_t>(card))] +=
                        Binomial(unseenBelow, n - 1);
                    ++unseenBelow;
                }
            }
            int above = 0;
            for (int value = MAX_PLAY_VALUE - 1; value >= 0; --value) {
                groupsAbove_[n][value] = above;
                above += byTop[value];
            }
        }
    }

    CardMask LocalMask(const Move& move) const {
        CardMask mask = 0;
        for (int p = 0; p < HAND_SIZE; ++p) {
            if (move.chosen[p] != 0 && localOf_[p] >= 0) {
                mask = static_cast<CardMask>(mask | (1u << localOf_[p]));
            }
        }
        return mask;
    }

    // The cards of a local mask as a play buffer in hand order.
    int Buffer(CardMask mask, std::uint8_t* out) const {
        std::memset(out, NO_CARD, PLAY_SIZE);
        int n = 0;
        for (int i = 0; i < k_ && n < PLAY_SIZE; ++i) {
            if (mask & (1u << i)) out[n++] = cards_[i];
        }
        return n;
    }

    // The strength of a play of this hand. Every play the choice weighs is
    // a single card or one of the hand's groups, whose strengths the split
    // of the hand has already found.
    Strength StrengthOf(CardMask mask) const {
        if (std::has_single_bit(mask)) return singleStrength_[std::countr_zero(mask)];
        const auto found = std::lower_bound(
            groupStrength_.begin(), groupStrength_.end(), mask,
            [](const std::pair<CardMask, Strength>& known, CardMask m) { return known.first < m; });
        if (found != groupStrength_.end() && found->first == mask) return found->second;
        return ComputeStrength(mask);
    }

    Strength ComputeStrength(CardMask mask) const {
        std::uint8_t buffer[PLAY_SIZE];
        const int n = Buffer(mask, buffer);
        // Nobody holds enough cards to answer a play of this size.
        if (opponentMax_ < n) return {1.0f, true};
        if (n == 5) return FiveCardStrength(buffer);

        // The groups of n unseen cards of one rank that would beat this play
        // and those that would not.
        if (!unseenGroupsCounted_) CountUnseenGroups();
        const int value = GameTable::CardValue(buffer, n);
        const int higher = value < MAX_PLAY_VALUE ? groupsAbove_[n][value] : 0;
        const int lower = groupsAbove_[n][0] - higher;  // no card's play value is 0
        if (higher == 0) return {1.0f, true};
        return {static_cast<float>(lower) / static_cast<float>(lower + higher), false};
    }

    Strength FiveCardStrength(const std::uint8_t* buffer) const {
        // By kind, then by the strongest card that decides within the kind.
        // Indexed by FiveCardKind: none, straight, flush, full house, four, straight flush.
        static constexpr float kBase[FIVE_CARD_KIND_COUNT] = {0, 0.30f, 0.55f, 0.75f, 0.93f, 0.98f};
        static constexpr float kSpan[FIVE_CARD_KIND_COUNT] = {0, 0.30f, 0.25f, 0.20f, 0.05f, 0.02f};
        if (!UnseenCanBeat(buffer)) return {1.0f, true};
        const FiveCardKind kind = GameTable::KindOfFive(buffer);
        const bool byGroup = kind == FiveCardKind::kFullHouse || kind == FiveCardKind::kFourOfAKind;
        const int top =
            byGroup ? GameTable::CardValue(buffer + 2, 1) : GameTable::CardValue(buffer, PLAY_SIZE);
        const float within = static_cast<float>(top - 8) / 51.0f;
        const auto k = static_cast<std::size_t>(kind);
        return {kBase[k] + kSpan[k] * within, false};
    }

    // Whether five of the unseen cards could beat this five-card play: the
    // answer is exact for the cards, whoever holds them.
    bool UnseenCanBeat(const std::uint8_t* play) const {
        if (!strongestKnown_) {
            strongestKnown_ = true;
            strongestExists_ = StrongestFiveCardHand(unseen_, strongest_);
        }
        return strongestExists_ && GameTable::ComparePlays(play, strongest_, PLAY_SIZE) == 1;
    }

    float PlayCost(const Strength& strength) const {
        return 1.0f + params_.weakness * (1.0f - strength.value);
    }

    void SolvePartition() {
        if (!groupsKnown_) {
            groups_ = FindGroups(cards_, k_);
            groupsKnown_ = true;
        }
        const std::vector<CardMask>& groups = groups_;
        std::vector<float> groupCost;
        groupCost.reserve(groups.size());
        groupStrength_.clear();
        groupStrength_.reserve(groups.size());
        for (CardMask group : groups) {
            const Strength strength = ComputeStrength(group);
            groupStrength_.emplace_back(group, strength);
            groupCost.push_back(PlayCost(strength));
        }
        std::sort(groupStrength_.begin(), groupStrength_.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        float singleCost[HAND_SIZE];
        for (int i = 0; i < k_; ++i) {
            singleStrength_[i] = ComputeStrength(static_cast<CardMask>(1u << i));
            singleCost[i] = PlayCost(singleStrength_[i]);
        }
        partition_.Solve(k_, groups, groupCost, singleCost);
    }

    // Plays of the best split of mask that an opponent could still beat.
    int Beatable(CardMask mask) const {
        int count = 0;
        for (CardMask play : partition_.Split(mask)) count += StrengthOf(play).sure ? 0 : 1;
        return count;
    }

    float PlayScore(CardMask play, bool freeLead) const {
        const auto rest = static_cast<CardMask>(full_ & ~play);
        if (rest == 0) return WIN_SCORE;
        const int n = std::popcount(play);
        const Strength strength = StrengthOf(play);

        float score = partition_.Cost(full_) - partition_.Cost(rest);
        // A play nobody can beat keeps the lead; when at most one beatable
        // play is left after it, the seat goes out on its next lead.
        if (strength.sure && Beatable(rest) <= 1) score += FINISH_SCORE;
        if (freeLead) score += params_.leadPerExtraCard * static_cast<float>(n - 1);
        // The round may end soon: every card still held will be paid for.
        if (opponentMin_ <= params_.closeCards)
            score += params_.shedPerCardWhenClose * static_cast<float>(n);

        // An opponent holding exactly as many cards as this play could beat
        // it and go out: play high, the higher the better.
        if (!strength.sure && opponentHolds_[n]) {
            score += params_.blockWeight * (strength.value - 1.0f);
        }
        return score;
    }

    float PassScore() const {
        float score = params_.followThreshold;
        // Passing lets an opponent about to go out do so: one holding exactly
        // as many cards as the table's play, or the leader itself with a
        // nearly empty hand.
        if (opponentHolds_[view_.TableCount()] || leaderCount_ <= 2) score -= params_.blockWeight;
        return score;
    }

    const SeatView& view_;
    const int seat_;
    const StrategyParams& params_;
    int k_ = 0;
    std::uint8_t cards_[HAND_SIZE] = {};
    int localOf_[HAND_SIZE] = {};
    CardMask full_ = 0;
    bool unseen_[DECK_SIZE] = {};
    bool opponentHolds_[HAND_SIZE + 1] = {};  // some opponent holds exactly this many cards
    int opponentMax_ = 0;
    int opponentMin_ = HAND_SIZE;
    int leaderCount_ = HAND_SIZE;          // cards of the opponent whose play is on the table
    mutable bool strongestKnown_ = false;  // strongest_ and strongestExists_ are found
    mutable bool strongestExists_ = false;
    mutable std::uint8_t strongest_[PLAY_SIZE] = {};
    mutable bool unseenGroupsCounted_ = false;
    mutable int groupsAbove_[PLAY_SIZE][MAX_PLAY_VALUE] = {};  // see CountUnseenGroups
    HandPartition partition_;
    std::vector<CardMask> groups_;  // FindGroups of the hand, once known
    bool groupsKnown_ = false;
    Strength singleStrength_[HAND_SIZE] = {};
    std::vector<std::pair<CardMask, Strength>> groupStrength_;  // by mask
};

}  // namespace

Move ChooseMove(const SeatView& view, const RoundRecord* record, const StrategyParams& params) {
    const std::vector<Move> moves = LegalMoves(view);
    if (moves.empty()) return PassMove();
    if (moves.size() == 1) return moves.front();
    std::vector<float> scores;
    Chooser(view, record, params).Score(moves, scores);
    // The first of the best.
    std::size_t best = 0;
    for (std::size_t i = 1; i < moves.size(); ++i) {
        if (scores[i] > scores[best]) best = i;
    }
    return moves[best];
}

void ScoreMoves(const SeatView& view, const std::vector<Move>& moves, std::vector<float>& scores,
                const RoundRecord* record, const StrategyParams& params) {
    scores.clear();
    if (moves.empty()) return;
    Chooser(view, record, params).Score(moves, scores);
}

void HandGroups::Find(const std::uint8_t hand[HAND_SIZE]) {
    std::uint8_t cards[HAND_SIZE];
    int k = 0;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (hand[p] < DECK_SIZE) cards[k++] = hand[p];
    }
    groups_.clear();
    for (CardMask mask : FindGroups(cards, k)) {
        std::uint64_t group = 0;
        for (int i = 0; i < k; ++i) {
            if (mask & (1u << i)) group |= std::uint64_t{1} << cards[i];
        }
        groups_.push_back(group);
    }
}

Move ChooseMoveWithGroups(const SeatView& view, const HandGroups& groups, const RoundRecord* record,
                          const StrategyParams& params) {
    if (view.Seat() == 0 || view.Seat() != view.Turn() || view.RoundOver()) {
        return PassMove();
    }
    Chooser chooser(view, record, params);
    chooser.TakeGroups(groups);
    std::vector<Move> moves;
    chooser.LegalMovesFromGroups(moves);
    if (moves.empty()) return PassMove();
    if (moves.size() == 1) return moves.front();
    std::vector<float> scores;
    chooser.Score(moves, scores);
    std::size_t best = 0;
    for (std::size_t i = 1; i < moves.size(); ++i) {
        if (scores[i] > scores[best]) best = i;
    }
    return moves[best];
}
