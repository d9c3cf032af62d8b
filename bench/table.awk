# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the TAB-separated table rows as aligned columns.
# Width in characters of UTF-8 text (awk may count bytes).
function chars(s,    t) { t = s; return length(s) - gsub(/[\200-\277]/, "", t) }
BEGIN {
    n = 1
    split("section|figure|value|unit|compared with|ratio|goal|verdict", head, "|")
    for (i = 1; i <= 8; ++i) { cell[1, i] = head[i]; w[i] = chars(head[i]) }
}
NF >= 8 {
    ++n
    for (i = 1; i <= 8; ++i) {
        cell[n, i] = $i
        if (chars($i) > w[i]) w[i] = chars($i)
    }
}
END {
    for (r = 1; r <= n; ++r) {
        line = ""
        for (i = 1; i <= 8; ++i) {
            pad = w[i] - chars(cell[r, i])
            line = line cell[r, i] (i < 8 ? sprintf("%" (pad + 2) "s", "") : "")
        }
        print line
        if (r == 1) {
            rule = ""
            for (i = 1; i <= 8; ++i) rule = rule sprintf("%" w[i] "s", "") (i < 8 ? "  " : "")
            gsub(/ /, "-", rule)
            print rule
        }
    }
}
