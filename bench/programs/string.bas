10 FOR R = 1 TO 20000
20 A$ = "Hello" + " " + "World"
30 B$ = MID$(A$, 3, 5) + LEFT$(A$, 2) + RIGHT$(A$, 3)
40 L = LEN(B$) + ASC(B$)
50 IF A$ = B$ THEN L = 0
60 NEXT R
