10 REM Loop edges: empty ranges, a zero step, NEXT without a name, WEND with a condition
20 FOR I = 5 TO 1: PRINT "never": NEXT I: PRINT "empty range leaves I at"; I
30 N = 0: FOR I = 1 TO 1 STEP 0: N = N + 1: IF N = 3 THEN I = 2
40 NEXT: PRINT "zero step ran"; N; "times"
50 FOR I = 1 TO 2: FOR J = 1 TO 3: NEXT J: NEXT I: PRINT "after nested loops"; I; J
60 FOR I = 1 TO 3: FOR J = 1 TO 3: IF J = 2 THEN NEXT I
70 NEXT J: PRINT "NEXT I closed the inner loop:"; I; J
80 K = 0: WHILE 1: K = K + 1: WEND K >= 4: PRINT "WEND condition left after"; K
90 L = 10: WHILE L < 5: PRINT "never": WEND: PRINT "false WHILE skipped"
100 FOR S = 1 TO 2 STEP 0.5: PRINT S;: NEXT S: PRINT
110 T = 3: FOR I = 1 TO T: T = 1: PRINT I;: NEXT I: PRINT "- the limit is fixed at the start"
