10 REM Guess the number: the computer thinks of a number from 1 to 100
20 MSGTIT "Guess the number"
30 SECRET = RANDOM(101, 1)
40 TRIES = 0
50 PRINT "I am thinking of a number from 1 to 100."
60 INPUT "Your guess"; G
70 TRIES = TRIES + 1
80 IF G < SECRET THEN PRINT G; "is too low." : GOTO 60
90 IF G > SECRET THEN PRINT G; "is too high." : GOTO 60
100 PRINT "Right! It was "; SECRET; "- you needed "; TRIES; "guesses."
