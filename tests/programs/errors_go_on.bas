10 REM A report does not end the run: each statement finishes as well as it can
20 X = "text"
30 PRINT "after a type mismatch, X is"; X
40 A$ = "abc" - "b"
50 PRINT "after a string minus, A$ is "; A$
60 PRINT UNSET$ + "!"
70 Q(12) = 1
80 PRINT "after a bad subscript"
90 GOTO 1000
100 PRINT "not reached: an undefined line ends the run"
