10 REM Tenrek welcome: a few things the language does
20 MSGTIT "Tenrek"
30 PRINT "Squares and cubes"
40 FOR I = 1 TO 5
50 GOSUB 200
60 NEXT I
70 N = 0: WHILE N < 3: N = N + 1: WEND
80 PRINT "WHILE counted to "; N
90 IF N = 3 THEN PRINT "IF/THEN works" ELSE PRINT "unexpected"
100 PRINT "1/3 = "; 1/3; " and 2^10 = "; 2^10
110 END
200 PRINT I; SQR(I); I^3
210 RETURN
