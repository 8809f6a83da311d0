#include "bot/search.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "bot/strategy.h"

namespace {

struct Candidate {
    std::size_t move;        // index into the legal moves
    std::int64_t money = 0;  // the seat's money won over the deals played out
    bool active = true;      // still searched: not yet surely behind another
};

// The money of the candidates over the same deals, and the sums of products
// of every two, from which the spread of their differences follows.
class Tally {
  public:
    explicit Tally(std::size_t count) : count_(count), products_(count * count, 0) {}

    void Add(const std::vector<Candidate>& candidates, const std::vector<int>& money) {
        for (std::size_t i = 0; i < count_; ++i) {
            if (!candidates[i].active) continue;
            for (std::size_t j = i; j < count_; ++j) {
                if (!candidates[j].active) continue;
                products_[i * count_ + j] += static_cast<std::int64_t>(money[i]) * money[j];
            }
        }
        ++deals_;
    }

    // True when `a` is surely behind `b` (both searched in every deal so
    // far): b's lead is more than `margin` standard errors of the mean
    // difference.
    bool Behind(const std::vector<Candidate>& candidates, std::size_t a, std::size_t b,
                float margin) const {
        if (deals_ < 2) return false;
        const double n = deals_;
        const double sum = static_cast<double>(candidates[b].money - candidates[a].money);
        const double squares =
            static_cast<double>(Product(a, a) + Product(b, b) - 2 * Product(a, b));
        const double mean = sum / n;
        const double variance = std::max(0.0, (squares - sum * mean) / (n - 1.0));
        return mean > 0.0 && mean > margin * std::sqrt(variance / n);
    }

  private:
    std::int64_t Product(std::size_t i, std::size_t j) const {
        return i <= j ? products_[i * count_ + j] : products_[j * count_ + i];
    }

    std::size_t count_;
    std::vector<std::int64_t> products_;
    int deals_ = 0;
};

// Plays the round out with the strategy for every seat, the other seats
// slipping now and then into any of their legal moves. Returns what the
// seat's money changed by from `moneyBefore`.
int PlayOut(GameTable& world, RoundRecord& record, const HandGroups groups[SEAT_COUNT + 1],
            int seat, std::int32_t moneyBefore, const SearchParams& params, BotRandom& random,
            std::int64_t& work) {
    for (int actions = 0; world.roundOver == 0 && actions < MAX_ROUND_ACTIONS; ++actions) {
        const int mover = world.turn;
        work += DecisionWork(GameTable::CountCards(world.hands[mover], HAND_SIZE));
        Move move;
        if (mover != seat && params.slipPercent > 0 &&
            random.Chance(static_cast<std::uint32_t>(params.slipPercent), 100)) {
            const std::vector<Move> moves = LegalMoves(world, mover);
            move = moves.empty() ? PassMove()
                                 : moves[random.Below(static_cast<std::uint32_t>(moves.size()))];
        } else {
            move = ChooseMoveWithGroups(SeatView(world, mover), groups[mover], &record);
        }
        if (record.Apply(world, mover, move) != 1) break;  // both kinds of move are legal
    }
    return world.money[seat] - moneyBefore;
}

}  // namespace

int DecisionWork(int held) {
    // The strategy's mean time by the size of the hand, with the hand's
    // groups found at the start of the play-out, in units of about a sixth
    // of a microsecond on one core of the machine the budget was set on
    // (a search of the default budget took 40 ms at the 99th percentile).
    static constexpr int kWork[HAND_SIZE + 1] = {2, 3, 5, 5, 6, 8, 9, 13, 17, 24, 28, 31, 40, 60};
    return kWork[std::clamp(held, 0, HAND_SIZE)];
}

int GroupsWork(int held) {
    // The same units: the time to find the groups of a hand of that size.
    static constexpr int kWork[HAND_SIZE + 1] = {0, 1, 1, 1, 1, 2, 3, 5, 8, 26, 44, 70, 120, 175};
    return kWork[std::clamp(held, 0, HAND_SIZE)];
}

Move ChooseSearchedMove(const SeatView& view, const RoundRecord& record, BotRandom& random,
                        const SearchParams& params, SearchStats* stats) {
    SearchStats local;
    SearchStats& out = stats != nullptr ? *stats : local;
    out = SearchStats{};

    const std::vector<Move> moves = LegalMoves(view);
    if (moves.empty()) return PassMove();
    if (moves.size() == 1) return moves.front();
    const int seat = view.Seat();

    std::vector<float> scores;
    ScoreMoves(view, moves, scores, &record);
    std::vector<std::size_t> order(moves.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return scores[a] > scores[b]; });
    const Move& strategyMove = moves[order.front()];
    const int held = view.Held(seat);
    if (MoveSize(strategyMove) == held) return strategyMove;  // out

    const DealSampler sampler(view, record, params.passOdds);
    if (!sampler.Valid()) return strategyMove;

    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const bool pass = moves[order[i]].pass;
        if (static_cast<int>(candidates.size()) < params.candidates || pass) {
            candidates.push_back(Candidate{order[i]});
        }
    }
    if (candidates.size() == 1) return strategyMove;
    out.searched = true;
    out.candidates = static_cast<int>(candidates.size());

    // The worlds: what the seat sees, with the unseen cards dealt anew for
    // each deal.
    GameTable world = view.PublicTable();
    GameTable playOut(world);
    RoundRecord counted;
    // The groups of every hand at the start of the play-outs: the seat's
    // own are the same in every deal.
    HandGroups groups[SEAT_COUNT + 1];
    groups[seat].Find(view.Hand());
    Tally tally(candidates.size());
    std::vector<int> money(candidates.size(), 0);
    std::int64_t lastDealWork = 0;
    std::size_t active = candidates.size();
    while (out.deals < params.maxDeals && active > 1) {
        // Stop before a deal that would overrun the budget, judged by the last.
        if (out.deals > 0 && out.work + lastDealWork > params.budget) break;
        const std::int64_t workBefore = out.work;
        out.work += sampler.Draw(random, world, params.drawTries);
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            if (s == seat) continue;
            groups[s].Find(world.hands[s]);
            out.work += GroupsWork(GameTable::CountCards(world.hands[s], HAND_SIZE));
        }
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (!candidates[i].active) continue;
            playOut = world;
            counted = record;
            counted.Apply(playOut, seat, moves[candidates[i].move]);
            money[i] =
                PlayOut(playOut, counted, groups, seat, view.Money(seat), params, random, out.work);
            candidates[i].money += money[i];
            ++out.playOuts;
        }
        tally.Add(candidates, money);
        ++out.deals;
        lastDealWork = out.work - workBefore;
        if (out.deals < params.minDeals) continue;

        // Drop the candidates surely behind the best so far.
        std::size_t best = candidates.size();
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (!candidates[i].active) continue;
            if (best == candidates.size() || candidates[i].money > candidates[best].money) best = i;
        }
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (i == best || !candidates[i].active) continue;
            if (!tally.Behind(candidates, i, best, params.dropMargin)) continue;
            candidates[i].active = false;
            lastDealWork = lastDealWork * static_cast<std::int64_t>(active - 1) /
                           static_cast<std::int64_t>(active);
            --active;
        }
    }

    // The most money among those still in; the strategy's order breaks ties.
    const Candidate* chosen = nullptr;
    for (const Candidate& candidate : candidates) {
        if (candidate.active && (chosen == nullptr || candidate.money > chosen->money)) {
            chosen = &candidate;
        }
    }
    return moves[chosen->move];
}
