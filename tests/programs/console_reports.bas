10 REM Reports on the console: one line each, naming the place and the culprit
20 DIM M(2, 3)
30 PRINT M(1, 7)
40 DIM M(5)
50 FOR I = 1 TO 10: X = "text": NEXT I
60 PRINT "a report repeated in a loop is shown three times, then summed up"
70 STOP
80 PRINT "not reached"
