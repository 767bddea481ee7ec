10 REM String tools: reverse, palindromes, counting and words
20 S$ = "a man a plan a canal panama"
30 GOSUB 200
40 PRINT "Reversed:   "; R$
50 T$ = "": FOR I = 1 TO LEN(S$): C$ = MID$(S$, I, 1)
60 IF C$ <> " " THEN T$ = T$ + C$
70 NEXT I
80 S$ = T$: GOSUB 200
90 IF R$ = T$ THEN PRINT "Palindrome: yes" ELSE PRINT "Palindrome: no"
100 S$ = "the quick brown fox jumps over the lazy dog"
110 PRINT "Title case: "; PROPER$(S$)
120 PRINT "Shouting:   "; UPPER$(S$)
130 PRINT "Words:      "; OCCUR(S$, " ") + 1
140 PRINT "'the' at:   "; ATC(S$, "the", 1); "and "; ATC(S$, "the", 2)
150 PRINT "Trimmed:    ["; LTRIM$(RTRIM$("   padded   ")); "]"
160 PRINT "Codes:      "; ASC("A"); ASC("a"); " "; CHR$(72) + CHR$(105)
170 END
200 REM R$ = S$ backwards
210 R$ = ""
220 FOR K = LEN(S$) TO 1 STEP -1: R$ = R$ + MID$(S$, K, 1): NEXT K
230 RETURN
