10 REM Conversion tables with FOR ... STEP
20 PRINT "Celsius  Fahrenheit"
30 FOR C = -20 TO 100 STEP 20
40 F = C * 9 / 5 + 32
50 PRINT RIGHT$("        " + STR$(C), 7); RIGHT$("            " + STR$(F), 12)
60 NEXT C
70 PRINT "Countdown:";
80 FOR I = 10 TO 0 STEP -2.5
90 PRINT " "; I;
100 NEXT I
110 PRINT
120 REM STEP is worked out once, when the loop starts: a step that
130 REM changes as it goes needs WHILE
140 PRINT "Powers of two below 1000:";
150 P = 1
160 WHILE P < 1000: PRINT " "; P;: P = P * 2: WEND
170 PRINT
