10 REM READ takes expressions; RESTORE a line; string edges
20 READ A, B$, C
30 PRINT A; B$; C
40 RESTORE 200
50 READ D$: PRINT D$
60 PRINT MID$("HELLO", 0, 2); "|"; MID$("HELLO", 6); "|"; MID$("HELLO", 2, -1)
70 PRINT LEFT$("HELLO", -1); "|"; RIGHT$("HELLO", 0); "|"; OCCUR("AAAA", "AA")
80 PRINT OCCUR("Abab", "ab"); OCCUR("abab", "aB"); ATC("abcabc", "bc", 2)
90 PRINT PROPER$("hello wORLD-x  y"); "|"; CHR$(321); "|"; ASC(CHR$(200))
100 PRINT VAL("12ABC"); VAL("3+4"); STR$(100); "|"; STR$(0.001)
110 END
190 DATA 1 + 2, "A" + "B", 2 ^ 10
200 DATA "from line 200"
