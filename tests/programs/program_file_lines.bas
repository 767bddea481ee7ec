#!/usr/bin/env tenrek
10 REM A program file as tenrek run takes it: "#!" first, blank lines, tabs

20	PRINT "indented";	"!"
 	 
PRINT "not a numbered line"
30 TAB$ = "	kept in a string"
40 PRINT "done"; TAB$
