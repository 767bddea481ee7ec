10 REM A menu: ON ... GOSUB picks the routine for the choice
20 BALANCE = 100
30 PRINT "1 Deposit  2 Withdraw  3 Balance  4 Quit"
40 INPUT "Choice"; C
50 IF C < 1 OR C > 4 THEN PRINT "Please choose 1 to 4." : GOTO 30
60 IF C = 4 THEN PRINT "Goodbye." : END
70 ON C GOSUB 100, 200, 300
80 GOTO 30
100 INPUT "Amount to deposit"; A
110 BALANCE = BALANCE + A
120 GOTO 300
200 INPUT "Amount to withdraw"; A
210 IF A > BALANCE THEN PRINT "Not enough money." : RETURN
220 BALANCE = BALANCE - A
300 PRINT "Balance:"; BALANCE
310 RETURN
