#!/usr/bin/env python3
"""Writes the seed inputs of takeover_fuzz (tests/fuzz/corpus/takeover/): a few
scripted sessions in the target's step language (see takeover_fuzz.cpp)."""
import os
import sys

CONNECT, JOIN, READ, READ_ALL, MOVE, SPOOF, CHAT, CLOSE, COMPUTER, STRIKE = range(10)


def computer(rounds_of_moves, choice=0):
    out = []
    for i in range(rounds_of_moves):
        out += [COMPUTER, 15, choice + i]
    return out


def play_along(peers, times, choice=0):
    """The computer and the seated connections take turns, every copy read."""
    out = []
    for i in range(times):
        out += [COMPUTER, 15, choice + i]
        for p in peers:
            out += [READ_ALL, p, MOVE, p, choice + i]
    return out


SEEDS = {
    # Every client seat the computer's; one newcomer takes one over, reads
    # its whole replay and plays on.
    "full_takeover": [3] + computer(8) + [CONNECT, JOIN, 0, READ_ALL, 0]
    + play_along([0], 12),
    # A newcomer with a small buffer reads 64 bytes and stops; the table
    # plays on; its deadline strikes; a second newcomer takes the seat.
    "stalled_newcomer": [7] + computer(10) + [CONNECT, JOIN, 0, READ, 0, 0]
    + computer(10, 3) + [STRIKE, 0, CONNECT, JOIN, 1, READ_ALL, 1] + play_along([1], 10),
    # A newcomer reading slowly, a few hundred bytes at a time.
    "slow_reader": [7] + computer(10) + [CONNECT, JOIN, 0]
    + sum(([READ, 0, 3, COMPUTER, 2, i] for i in range(30)), []) + [READ_ALL, 0]
    + play_along([0], 6),
    # Three people fill an empty table; one leaves, the computer keeps the
    # seat, and the player comes back to take it over.
    "people_leave_and_return": [0] + [CONNECT, JOIN, 0, CONNECT, JOIN, 1, CONNECT, JOIN, 2]
    + [READ_ALL, 0, READ_ALL, 1, READ_ALL, 2] + play_along([0, 1, 2], 6)
    + [CLOSE, 1] + computer(4) + [CONNECT, JOIN, 3, READ_ALL, 3] + play_along([0, 2, 3], 6),
    # Two seats the computer's, one person; spoofed moves, chat and away
    # flags for every seat byte, then a newcomer that closes mid-replay.
    "spoofs_and_chat": [2] + [CONNECT, JOIN, 0, READ_ALL, 0] + play_along([0], 4)
    + sum(([SPOOF, 0, k, 1, 0, k, CHAT, 0, 20, k, k] for k in range(6)), [])
    + [CONNECT, JOIN, 1, READ, 1, 1, CLOSE, 1] + play_along([0], 4)
    + [CHAT, 0, 0, 3, 0, CHAT, 0, 0, 1, 0] + play_along([0], 2),
    # A newcomer at a full table of people waits in the overflow; another
    # never sends its name before its deadline.
    "overflow_and_silent": [1] + [CONNECT, CONNECT, JOIN, 0, JOIN, 1, READ_ALL, 0]
    + [CONNECT, STRIKE, 0] + play_along([0, 1], 4) + [CONNECT, READ_ALL, 3, CLOSE, 0]
    + computer(3) + [CONNECT, JOIN, 4, READ, 4, 10] + computer(3) + [READ_ALL, 4],
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "corpus", "takeover")
    os.makedirs(folder, exist_ok=True)
    for name, steps in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bytes(b % 256 for b in steps))


if __name__ == "__main__":
    main()
