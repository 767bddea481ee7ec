// Every token kind, in code order (the codes are part of the language: 0 to
// 107, keyword kinds named after their keyword; 93 and 94 are never
// produced). One row gives the kind's name, the upper-case keyword the
// tokenizer matches (nullptr for kinds without one) and the text the
// listers write. The list generates the TokenKind enumeration and the
// keyword table; a new kind is appended at the end.
#pragma once

// KIND(name, spelling, listing)
#define TENREK_TOKEN_KINDS(KIND) \
  KIND(Identifier, nullptr, "") \
  KIND(Number, nullptr, "") \
  KIND(String, nullptr, "") \
  KIND(StrayChar, nullptr, "") \
  KIND(Plus, nullptr, "+") \
  KIND(Minus, nullptr, "-") \
  KIND(Times, nullptr, "*") \
  KIND(Divide, nullptr, "/") \
  KIND(Power, nullptr, "^") \
  KIND(LeftParen, nullptr, "(") \
  KIND(RightParen, nullptr, ")") \
  KIND(Comma, nullptr, ",") \
  KIND(Semicolon, nullptr, "; ") \
  KIND(Colon, nullptr, " : ") \
  KIND(Equal, nullptr, " = ") \
  KIND(Less, nullptr, " < ") \
  KIND(Greater, nullptr, " > ") \
  KIND(LessEqual, nullptr, " <= ") \
  KIND(GreaterEqual, nullptr, " >= ") \
  KIND(NotEqual, nullptr, " <> ") \
  KIND(And, "AND", " AND ") \
  KIND(Or, "OR", " OR ") \
  KIND(Xor, "XOR", " XOR ") \
  KIND(Mod, "MOD", " MOD ") \
  KIND(Not, "NOT", "NOT ") \
  KIND(Sqr, "SQR", "SQR") \
  KIND(Sqrt, "SQRT", "SQRT") \
  KIND(Sin, "SIN", "SIN") \
  KIND(Cos, "COS", "COS") \
  KIND(Tan, "TAN", "TAN") \
  KIND(Arctan, "ARCTAN", "ARCTAN") \
  KIND(Log, "LOG", "LOG") \
  KIND(Exp, "EXP", "EXP") \
  KIND(Abs, "ABS", "ABS") \
  KIND(Sgn, "SGN", "SGN") \
  KIND(Str, "STR$", "STR$") \
  KIND(Val, "VAL", "VAL") \
  KIND(Chr, "CHR$", "CHR$") \
  KIND(Asc, "ASC", "ASC") \
  KIND(Len, "LEN", "LEN") \
  KIND(Mid, "MID$", "MID$") \
  KIND(Peek, "PEEK", "PEEK") \
  KIND(Rem, "REM", "REM") \
  KIND(Let, "LET", "LET") \
  KIND(Print, "PRINT", "PRINT") \
  KIND(Input, "INPUT", "INPUT") \
  KIND(Goto, "GOTO", "GOTO") \
  KIND(If, "IF", "IF") \
  KIND(End, "END", "END") \
  KIND(Stop, "STOP", "STOP") \
  KIND(For, "FOR", "FOR") \
  KIND(Next, "NEXT", "NEXT") \
  KIND(While, "WHILE", "WHILE") \
  KIND(Wend, "WEND", "WEND") \
  KIND(Gosub, "GOSUB", "GOSUB") \
  KIND(Return, "RETURN", "RETURN") \
  KIND(Read, "READ", "READ") \
  KIND(Data, "DATA", "DATA") \
  KIND(Restore, "RESTORE", "RESTORE") \
  KIND(Gotoxy, "GOTOXY", "GOTOXY") \
  KIND(On, "ON", "ON") \
  KIND(Dim, "DIM", "DIM") \
  KIND(Poke, "POKE", "POKE") \
  KIND(List, "LIST", "LIST") \
  KIND(Run, "RUN", "RUN") \
  KIND(New, "NEW", "NEW") \
  KIND(Load, "LOAD", "LOAD") \
  KIND(Merge, "MERGE", "MERGE") \
  KIND(Save, "SAVE", "SAVE") \
  KIND(Bye, "BYE", "BYE") \
  KIND(Del, "DEL", "DEL") \
  KIND(Renum, "RENUM", "RENUM") \
  KIND(Then, "THEN", " THEN ") \
  KIND(Else, "ELSE", " ELSE ") \
  KIND(To, "TO", " TO ") \
  KIND(Step, "STEP", " STEP ") \
  KIND(Random, "RANDOM", "RANDOM") \
  KIND(Ltrim, "LTRIM$", "LTRIM$") \
  KIND(Rtrim, "RTRIM$", "RTRIM$") \
  KIND(Lower, "LOWER$", "LOWER$") \
  KIND(Upper, "UPPER$", "UPPER$") \
  KIND(Proper, "PROPER$", "PROPER$") \
  KIND(Occur, "OCCUR", "OCCUR") \
  KIND(Atc, "ATC", "ATC") \
  KIND(Left, "LEFT$", "LEFT$") \
  KIND(Right, "RIGHT$", "RIGHT$") \
  KIND(Date, "DATE$", "DATE$") \
  KIND(Time, "TIME$", "TIME$") \
  KIND(Int, "INT", "INT") \
  KIND(Ceiling, "CEILING", "CEILING") \
  KIND(Floor, "FLOOR", "FLOOR") \
  KIND(Min, "MIN", "MIN") \
  KIND(Max, "MAX", "MAX") \
  KIND(Unassigned93, nullptr, "") \
  KIND(Unassigned94, nullptr, "") \
  KIND(Fmem, "FMEM", "FMEM") \
  KIND(Get, "GET", "GET ") \
  KIND(Msgtit, "MSGTIT", "MSGTIT ") \
  KIND(Msgicon, "MSGICON", "MSGICON ") \
  KIND(Clear, "CLEAR", "CLEAR") \
  KIND(Rerun, "RERUN", "RERUN") \
  KIND(Crlf, "CRLF$", "CRLF$") \
  KIND(Mmftag, "MMFTAG", "MMFTAG") \
  KIND(Retmmf, "RETMMF", "RETMMF ") \
  KIND(Larray, "LARRAY", "LARRAY") \
  KIND(Sarray, "SARRAY", "SARRAY") \
  KIND(Ilxt, "ILXT", "ILXT") \
  KIND(Lmod, "LMOD", " LMOD ")
