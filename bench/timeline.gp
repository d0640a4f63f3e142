# The timeline figure of make bench: CPU and wake-ups each second through waiting, running and
# over, for the game and its references. The bench calls it as
#   gnuplot -e "data='SERIES.tsv'; out='OUT.png'; start=40; over=100; end=140; measured='10 40 42 97 110 140'" timeline.gp
# SERIES.tsv: a heading line, then one line a second since launch: the second, each program's
# CPU (% of one core), then each one's wake-ups per second, in the same order, the game last.
# `measured` holds the stretches the table's figures come from, as from-to pairs.
set terminal pngcairo size 1000,620 font "DejaVu Sans,9"
set output out
set datafile separator "\t"
programs = 3
colours = "#6e6e6e #285ac8 #c81e3c"

set multiplot layout 2,1 margins 0.07,0.97,0.08,0.9 spacing 0,0.12
set xrange [0:end]
set yrange [0:*]
set offsets 0, 0, graph 0.08, 0
set xtics 20 nomirror
set ytics nomirror
set grid ytics lc rgb "#d7d7d7" lt 1
set object rect from 0, graph 0 to start, graph 1 fc rgb "#eeeefa" fs solid noborder behind
set object rect from start, graph 0 to over, graph 1 fc rgb "#fcf0e8" fs solid noborder behind
set object rect from over, graph 0 to end, graph 1 fc rgb "#ecf6ec" fs solid noborder behind
do for [i = 1:words(measured):2] {
    set object rect from word(measured, i), graph 0.975 to word(measured, i + 1), graph 1 \
        fc rgb "#9696aa" fs solid noborder front
}
set label "waiting" at start / 2, graph 1.2 center
set label "running" at (start + over) / 2, graph 1.2 center
set label "over" at (over + end) / 2, graph 1.2 center
set label "{/:Bold CPU, % of one core, each second}" at graph 0, graph 1.06 left
set key top right opaque box lc rgb "#d7d7d7"
plot for [i = 2:programs + 1] data using ($1 + 0.5):i with lines lc rgb word(colours, i - 1) \
    lw (i == programs + 1 ? 2.2 : 1.6) title columnheader(i)

unset label
unset key
set label "{/:Bold wake-ups per second (voluntary context switches, all threads)}" at graph 0, graph 1.06 left
set xlabel "seconds since launch · grey bars: what the table reads"
plot for [i = programs + 2:2 * programs + 1] data using ($1 + 0.5):i with lines \
    lc rgb word(colours, i - programs - 1) lw (i == 2 * programs + 1 ? 2.2 : 1.6)
unset multiplot
