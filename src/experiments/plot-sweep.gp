# The chosen side's win rate with its 95% confidence band, and tries per match for both sides, against the swept
# value. The picture goes to standard output. tryzone-sim sets `varied` (the key), `side` (whose key), `whose` (whose
# win rate: blue or red), `matches` (per value), `values` (rows) and the data block $sweep before this script: value,
# win rate, band low, band high (percent), then the mean and standard deviation of tries per match for blue and red.
set terminal pngcairo size 1100,800 font "sans,11"
set multiplot layout 2,1 title sprintf("%s of %s varied, %d %s per value", varied, side, matches, \
    matches == 1 ? "match" : "matches") font ",14"
set grid
set autoscale xfix
set offsets graph 0.03, graph 0.03, 0, 0
# One value has no width to scale to: a unit either side of it.
if (values == 1) { stats $sweep using 1 nooutput; set xrange [STATS_min - 1 : STATS_max + 1] }
set key at screen 0.75, graph 1 left top vertical Left reverse samplen 3
# The same margins in both panels, so that their value axes line up whatever the legends' widths.
set lmargin at screen 0.08
set rmargin at screen 0.72
set xlabel varied
set ylabel sprintf("%s win rate (%%)", whose)
# The win rate in its side's colour.
rate_colour = whose eq "red" ? "#c0392b" : "#1f4fbf"
band_colour = whose eq "red" ? "#e8a9a1" : "#9fb8e8"
set yrange [0:100]
# A band needs two values; one value shows its interval as an error bar.
if (values > 1) {
    plot $sweep using 1:3:4 with filledcurves lc rgb band_colour fillstyle solid 0.5 title "95% confidence (Wilson)", \
         $sweep using 1:2 with linespoints lc rgb rate_colour lw 2 pt 7 title sprintf("%s win rate", whose)
} else {
    plot $sweep using 1:2:3:4 with yerrorbars lc rgb band_colour lw 3 pt 7 title "95% confidence (Wilson)", \
         $sweep using 1:2 with linespoints lc rgb rate_colour lw 2 pt 7 title sprintf("%s win rate", whose)
}
set ylabel "tries per match"
set autoscale y
plot $sweep using 1:5:6 with yerrorlines lc rgb "#1f4fbf" lw 2 pt 7 title "blue (mean ± sd)", \
     $sweep using 1:7:8 with yerrorlines lc rgb "#c0392b" lw 2 pt 5 title "red (mean ± sd)"
unset multiplot
