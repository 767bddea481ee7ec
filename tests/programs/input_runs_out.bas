10 REM INPUT that gets no answer: the input has run out
20 INPUT "Name"; N$
30 PRINT "Hello, "; N$
40 INPUT "Again"; A$
50 PRINT "not reached"
