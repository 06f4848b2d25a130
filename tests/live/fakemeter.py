#!/usr/bin/env python3
"""A pH meter on a pseudo-terminal, for tests: prints the terminal's path, then sends readings
in a meter's format as the real one would over its cable.

The flask holds 25 mL of 0.1 mol/L acetic acid (pKa 4.76) titrated with 0.1 mol/L NaOH; the
volume added is read from standard input, one number a line, so a test types the same volume
into the program and here. Options make it misbehave the ways meters and cables do.
"""
import argparse
import os
import pty
import random
import select
import sys
import time
import tty

ENDS = {"cr": b"\r", "lf": b"\n", "crlf": b"\r\n"}


def flask_ph(volume, ca=0.1, va=25.0, cb=0.1, ka=10**-4.76, kw=1e-14):
    """The exact pH of the flask: the charge balance solved by bisection on log[H+]."""
    total = va + volume
    acid, base = ca * va / total, cb * volume / total

    def excess(h):
        return h + base - kw / h - acid * ka / (ka + h)

    low, high = -14.0, 1.0
    for _ in range(100):
        mid = (low + high) / 2
        if excess(10**mid) > 0:
            high = mid
        else:
            low = mid
    return -(low + high) / 2


def line_for(fmt, ph):
    if fmt == "ezo":
        return b"%.3f" % ph
    if fmt == "orion":
        stamp = time.strftime("%m/%d/%y %H:%M:%S").encode()
        return b"A211 pH,X51906,3.04,ABCDE," + stamp + b",---,CH-1,pH,%.2f,pH,-12.3,mV,25.0,C" % ph
    if fmt == "arduino":
        return b"Voltage:%.2f    pH value: %.2f" % (2.5 - (ph - 7) * 0.18, ph)
    return b"%.2f" % ph


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--format", default="generic", choices=["generic", "ezo", "orion", "arduino"])
    p.add_argument("--end", default="crlf", choices=list(ENDS))
    p.add_argument("--rate", type=float, default=5.0, help="readings a second when free-running")
    p.add_argument("--answer-only", action="store_true", help="send only when asked (R, GETMEAS)")
    p.add_argument("--garbage", action="store_true", help="noise bytes and broken lines between readings")
    p.add_argument("--split", action="store_true", help="each line in pieces, apart in time")
    p.add_argument("--silent-after", type=float, help="seconds, then nothing more is sent")
    p.add_argument("--close-after", type=float, help="seconds, then the terminal closes (a pulled cable)")
    p.add_argument("--reopen-after", type=float, help="seconds after closing, a new terminal (path printed)")
    p.add_argument("--noise", type=float, default=0.002)
    p.add_argument("--seed", type=int, default=1)
    args = p.parse_args()
    rng = random.Random(args.seed)
    master, slave = pty.openpty()
    tty.setraw(slave)
    print(os.ttyname(slave), flush=True)
    end = ENDS[args.end]
    volume, started, asked, pending = 0.0, time.monotonic(), b"", 0
    next_send, inputs = started, [master, sys.stdin]
    while True:
        now = time.monotonic()
        if args.close_after is not None and now - started > args.close_after:
            inputs.remove(master)
            os.close(master)
            os.close(slave)
            time.sleep(args.reopen_after if args.reopen_after is not None else 600)
            master, slave = pty.openpty()
            tty.setraw(slave)
            print(os.ttyname(slave), flush=True)
            inputs.append(master)
            args.close_after = None
        ready, _, _ = select.select(inputs, [], [], 0.02)
        if sys.stdin in ready:
            typed = sys.stdin.readline()
            if not typed:
                inputs.remove(sys.stdin)  # no more volumes
            elif typed.strip():
                volume = float(typed)
        if master in ready:
            asked += os.read(master, 256)
            while b"\r" in asked:
                command, _, asked = asked.partition(b"\r")
                if command.strip().upper() in (b"R", b"GETMEAS"):
                    pending += 1
                    if args.format == "orion":  # an A215's echo, as captured in ebbcarbon/openalk,
                        # lib/services/ph/orion_star.py; its record ends in LF CR CR ">" (below)
                        os.write(master, command + b"         \r\n\r\n\r")
        silent = args.silent_after is not None and now - started > args.silent_after
        due = pending > 0 if args.answer_only else now >= next_send
        if silent or not due:
            continue
        pending = max(0, pending - 1)
        next_send = now + 1.0 / args.rate
        ph = flask_ph(volume) + rng.gauss(0, args.noise)
        out = line_for(args.format, ph) + end
        if args.format == "ezo" and args.answer_only:
            out += b"*OK" + end
        if args.format == "orion" and args.answer_only:
            out = out[: -len(end)] + b"\n\r\r>"
        if args.garbage:  # bytes of a wrong baud rate: never text
            noise = bytes(rng.choice([0, 7, 27, *range(0x80, 0x100)]) for _ in range(5))
            out = noise + end + b"12.3.4 pH" + end + out
        if args.split:
            for i in range(0, len(out), 3):
                os.write(master, out[i:i + 3])
                time.sleep(0.01)
        else:
            os.write(master, out)

if __name__ == "__main__":
    main()
