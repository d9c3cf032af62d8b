# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the idle rows and prints them again, followed by one row for each
# "telkaro ..." row: its CPU as a ratio to the "clock window" row of the same
# locale (", ru_RU" in the name). Linked and idle (no polls), the program
# should cost no more than 1.2 times that window; where it polls (the fault
# wait, twice a second) the ratio is shown for information.
function locale(name) { return name ~ /ru_RU/ ? "ru_RU" : "C" }
function program(figure) { sub(/, [0-9]+ s, .*$/, "", figure); return figure }
{
    print
    name = program($2)
    if (name ~ /^clock window/) clock[locale(name)] = $3
    else if (name ~ /^telkaro/) { order[++n] = name; share[n] = $3; idle[n] = $2 ~ / 0 polls$/ }
}
END {
    for (i = 1; i <= n; ++i) {
        c = clock[locale(order[i])]
        if (c == "" || c + 0 == 0) continue
        r = share[i] / c
        goal = idle[i] ? "<= 1.2" : "-"
        verdict = !idle[i] ? "-" : r <= 1.2 ? "ok" : "OVER"
        print "idle", order[i] " against the clock window", sprintf("%.2f", r), "times", \
            "clock window" (locale(order[i]) == "ru_RU" ? ", ru_RU" : ""), sprintf("%.2f", r), \
            goal, verdict
    }
}
