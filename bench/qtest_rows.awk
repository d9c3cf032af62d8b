# SPDX-License-Identifier: GPL-3.0-or-later
# Turns the CSV output of bench_reply, bench_startup_parts and bench_assay_window
# ("function","tag","metric",value,total,iterations) into table rows (section, figure,
# value, unit, compared with, ratio, goal, verdict).
function us(metric, value) { return metric ~ /Nanoseconds/ ? value / 1000 : value * 1000 }
function row(section, figure, value, unit, against, ratio, goal, verdict) {
    printf "%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", section, figure, value, unit, against, ratio, goal, verdict
}
function out(figure, value, unit, against, ratio, goal, verdict) {
    row("reply", figure, value, unit, against, ratio, goal, verdict)
}
# The assay window's answer on screen: at most 50 ms after the plate has come.
function answer(figure, t,    ms) {
    ms = t / 1000
    row("assaywin", figure, sprintf("%.1f", ms), "ms", "50 ms", sprintf("%.3f", ms / 50), "<= 1",
        ms <= 50 ? "ok" : "OVER")
}
function detail(figure, t) { out(figure, sprintf("%.1f", t), "us", "-", "-", "-", "-") }
function budget(figure, t) {
    out(figure, sprintf("%.1f", t), "us", "1 ms", sprintf("%.3f", t / 1000), "< 1", t < 1000 ? "ok" : "OVER")
}
{
    gsub(/"/, "")
    name = $1; tag = $2; t = us($3, $4); value[name "/" tag] = t
    if (name == "receiveStep_494chars")
        out("receive step, per character (494 of a block)", sprintf("%.1f", t * 1000 / 494), "ns",
            "a character on the line, 1042 us", sprintf("%.6f", t / 494 / 1041.7), "-", "-")
    else if (name == "sessionCharacters_493chars")
        out("session receive handler, per character (stand-ins)", sprintf("%.1f", t * 1000 / 493), "ns",
            "a character on the line, 1042 us", sprintf("%.6f", t / 493 / 1041.7), "-", "-")
    else if (name == "blockStandIns")
        budget("last character to grid in model + plate text (stand-ins)", t)
    else if (name == "blockDrawGrid")
        detail("  of which the plate shown by the presenter (showPlate)", t)
    else if (name == "blockPlateText")
        detail("  of which plate text (Plate::text)", t)
    else if (name == "blockWindow")
        budget("last character in the real window: model, updates, menus", t)
    else if (name == "paneRepaintFullGrid")
        budget("pane repaint, full grid (TextPane::paintEvent, repaint())", t)
    else if (name == "paneRepaintOneLine")
        detail("  pane repaint, one line of text", t)
    else if (name == "paneGrabFullGrid")
        detail("  pane grab() to a pixmap, full grid", t)
    else if (name == "paneDescriptionAfterBlock")
        budget("deferred accessible description after a block", t)
    else if (name == "blockThroughEventLoopPass") {
        budget("whole: last character + one event-loop pass (paint, description)", t)
        out("whole, against the block's 386 characters on the line", sprintf("%.1f", t), "us",
            "402.1 ms", sprintf("%.5f", t / 402100), "< 0.0025", t / 402100 < 0.0025 ? "ok" : "OVER")
    } else if (name == "mainWindowMade")
        printf "start-up\tin process: main window made (frmMain, warm)\t%.0f\tus\t-\t-\t-\t-\n", t
    else if (name == "windowIcon")
        printf "start-up\tin process: window icon, 16 to 48\t%.0f\tus\t-\t-\t-\t-\n", t
    else if (name == "measuredToPainted" && tag == "ferritin")
        answer("measured plate to answer painted: ferritin kit (6 strips, 4PL)", t)
    else if (name == "measuredToPainted" && tag == "hcv")
        answer("measured plate to answer painted: anti-HCV kit (4 strips, cut-off)", t)
    else if (name == "measuredToPainted" && tag == "full plate")
        answer("measured plate to answer painted: full plate (12 strips, 4PL, 80 samples)", t)
}
END {
    s = value["blockWindow/"] + value["paneRepaintFullGrid/"] + value["paneDescriptionAfterBlock/"]
    if (s > 0)
        budget("sum: real window + full repaint + description", s)
}
