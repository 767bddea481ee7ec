10 REM Sort a list read from DATA lines (a simple exchange sort)
20 READ N
30 DIM NAME$(N), SCORE(N)
40 FOR I = 1 TO N
50 READ NAME$(I), SCORE(I)
60 NEXT I
70 REM Highest score first
80 FOR I = 1 TO N - 1
90 FOR J = I + 1 TO N
100 IF SCORE(J) > SCORE(I) THEN GOSUB 300
110 NEXT J
120 NEXT I
130 PRINT "Rank  Name      Score"
140 FOR I = 1 TO N
150 PRINT RIGHT$("   " + STR$(I), 4); "  "; LEFT$(NAME$(I) + "          ", 10); SCORE(I)
160 NEXT I
170 END
300 REM Swap entries I and J
310 T$ = NAME$(I): NAME$(I) = NAME$(J): NAME$(J) = T$
320 T = SCORE(I): SCORE(I) = SCORE(J): SCORE(J) = T
330 RETURN
400 DATA 6
410 DATA "Ada", 82, "Grace", 95, "Alan", 77
420 DATA "Edsger", 95, "Barbara", 88, "Dennis", 61
