10 REM LOAD and SAVE name the file they could not open
20 SAVE "no such folder/x"
30 LOAD "no such program"
