#!/usr/bin/env python3
"""The `tenrek` command as a user meets it: arguments, files it cannot
read, the prompt on a terminal (Ctrl-C, BYE, history, INPUT editing), and
where reports say they happened.

Usage: command_test.py TENREK [unittest arguments]
"""
import os
import pty
import re
import select
import signal
import subprocess
import sys
import tempfile
import time
import unittest

TENREK = None
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TIMEOUT = 20.0


def run(args, stdin_text="", cwd=None, env=None):
    return subprocess.run([TENREK] + args, input=stdin_text.encode(), capture_output=True,
                          cwd=cwd, env=env, timeout=TIMEOUT)


class Terminal:
    """tenrek on a pseudo-terminal, typed at as a user would."""

    def __init__(self, args, cwd, home):
        env = dict(os.environ, HOME=home, TERM="xterm")
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(cwd)
            os.execve(TENREK, [TENREK] + args, env)
        self.seen = b""

    def expect(self, text):
        """Waits until `text` has been shown since the last expect."""
        wanted = text.encode()
        deadline = time.monotonic() + TIMEOUT
        while wanted not in self.seen:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"never showed {text!r}; saw {self.seen!r}")
            if not self._read(left):
                raise AssertionError(f"ended before showing {text!r}; saw {self.seen!r}")
        self.seen = self.seen[self.seen.index(wanted) + len(wanted):]

    # A person never types within milliseconds of a prompt; keys that come
    # before the line editor has set up the terminal can be lost.
    PAUSE = 0.2

    def type(self, text):
        time.sleep(self.PAUSE)
        os.write(self.fd, text.encode())

    def interrupt(self):
        self.type("\x03")

    def exit_status(self):
        """Waits for the end (reading what is left) and gives the status."""
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            self._read(0.05)
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid != 0:
                self.pid = None
                return os.waitstatus_to_exitcode(status)
        raise AssertionError(f"still running; saw {self.seen!r}")

    def alive_after(self, seconds):
        time.sleep(seconds)
        pid, _ = os.waitpid(self.pid, os.WNOHANG)
        return pid == 0

    def _read(self, timeout):
        ready, _, _ = select.select([self.fd], [], [], timeout)
        if not ready:
            return False
        try:
            chunk = os.read(self.fd, 4096)
        except OSError:
            return False
        self.seen += chunk
        return bool(chunk)

    def close(self):
        if self.pid is not None:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        os.close(self.fd)


class Folder(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.dir = self.folder.name
        self.home = os.path.join(self.dir, "home")
        os.mkdir(self.home)

    def tearDown(self):
        self.folder.cleanup()

    def write(self, name, data):
        with open(os.path.join(self.dir, name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode())

    def terminal(self, *args):
        term = Terminal(list(args), self.dir, self.home)
        self.addCleanup(term.close)
        return term


class Arguments(Folder):
    def test_version_is_the_module_version_record(self):
        with open(os.path.join(SOURCE, "resources", "Tenrek.rc")) as rc:
            version = re.search(r'VALUE "ProductVersion", "([^"]+)"', rc.read()).group(1)
        result = run(["--version"])
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stdout.decode(), f"tenrek {version}\n")

    def test_usage_errors_name_the_argument(self):
        for args, named in [(["--frobnicate"], "unknown argument: --frobnicate"),
                            (["run"], "run needs a FILE"),
                            (["run", "a.bas", "b.bas"], "unexpected argument: b.bas"),
                            (["--seed", "-1", "run", "-"], "--seed needs a whole number"),
                            (["--seed", "4294967296"], "--seed needs a whole number"),
                            (["--seed", "1", "host", "-"], "--seed is for the prompt"),
                            (["check", "--memory", "9", "a.bas"], "--memory is for the prompt"),
                            (["check"], "check needs at least one FILE"),
                            (["--check"], "--check needs a FILE"),
                            (["a.bas", "b.bas"], "unexpected argument: b.bas")]:
            with self.subTest(args=args):
                result = run(args)
                self.assertEqual(result.returncode, 2)
                self.assertIn(named, result.stderr.decode())
                self.assertEqual(result.stdout, b"")

    def test_unreadable_inputs_say_why(self):
        os.mkdir(os.path.join(self.dir, "folder"))
        for args, message in [
                (["host", "folder"], "tenrek host: cannot read folder: Is a directory\n"),
                (["run", "folder"], "tenrek: cannot read folder: Is a directory\n"),
                (["host", "none.script"],
                 "tenrek host: cannot read none.script: No such file or directory\n"),
                (["run", "none"], "tenrek: cannot read none: No such file or directory\n"),
                (["none"], "tenrek: cannot read none: No such file or directory\n"),
                (["check", "none"],
                 "tenrek check: cannot read none: No such file or directory\n"),
                # a device would feed the command for ever
                (["run", "/dev/zero"], "tenrek: cannot read /dev/zero: not a regular file\n"),
                (["host", "/dev/zero"],
                 "tenrek host: cannot read /dev/zero: not a regular file\n")]:
            with self.subTest(args=args):
                result = run(args, cwd=self.dir)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(result.stderr.decode(), message)

    def test_seed_repeats_a_run(self):
        program = "10 PRINT RANDOM(101, 1); RANDOM(101, 1); RANDOM(101, 1)\n"
        runs = [run(["--seed", seed, "run", "-"], program).stdout for seed in ["7", "7", "8"]]
        self.assertEqual(runs[0], runs[1])
        self.assertNotEqual(runs[0], runs[2])

    def test_a_file_runs_without_run_and_options_stand_anywhere(self):
        self.write("dice.bas", "10 PRINT RANDOM(101, 1); RANDOM(101, 1)\n")
        runs = [run(args, cwd=self.dir) for args in
                [["--seed", "7", "run", "dice.bas"], ["run", "--seed", "7", "dice.bas"],
                 ["dice.bas", "--seed", "7"], ["dice"]]]
        self.assertEqual([r.returncode for r in runs], [0, 0, 0, 0])
        self.assertEqual(runs[0].stdout, runs[1].stdout)
        self.assertEqual(runs[0].stdout, runs[2].stdout)
        self.assertEqual(len(runs[3].stdout.split()), 2)

    def test_help_fits_80_columns(self):
        result = run(["--help"])
        self.assertEqual(result.returncode, 0)
        lines = result.stdout.decode().splitlines()
        self.assertIn("check FILE", result.stdout.decode())
        self.assertEqual([line for line in lines if len(line) > 80], [])

    def test_run_reads_the_program_from_standard_input(self):
        result = run(["run", "-"], "10 FOR I = 1 TO 3: PRINT I;: NEXT I\n20 PRINT\n")
        self.assertEqual((result.returncode, result.stdout), (0, b"1 2 3 \n"))

    def test_run_finds_a_saved_program_without_its_extension(self):
        saved = run([], '10 PRINT "saved"\nSAVE "demo"\n', cwd=self.dir)
        self.assertEqual(saved.returncode, 0)
        self.assertTrue(os.path.exists(os.path.join(self.dir, "demo.BAS")))
        result = run(["run", "demo"], cwd=self.dir)
        self.assertEqual((result.returncode, result.stdout), (0, b"saved\n"))

    def test_run_finds_a_lower_case_extension(self):
        self.write("lower.bas", '10 PRINT "lower"\n')
        result = run(["run", "lower"], cwd=self.dir)
        self.assertEqual((result.returncode, result.stdout), (0, b"lower\n"))


class ProgramFiles(Folder):
    def test_byte_order_mark_is_not_part_of_the_first_line(self):
        self.write("marked.bas", b'\xef\xbb\xbf10 PRINT "first"\r\n20 PRINT "second"\r\n')
        self.write("loads.txt", 'LOAD "marked"\nLIST\n')
        for args, stdin_text in [(["run", "marked.bas"], ""),
                                 ([], 'LOAD "marked"\nRUN\n')]:
            with self.subTest(args=args):
                result = run(args, stdin_text, cwd=self.dir)
                self.assertEqual(result.stderr, b"")
                self.assertEqual(result.stdout, b"first\nsecond\n")

    def test_load_finds_lower_case_extension_but_prefers_upper(self):
        self.write("hello.bas", '10 PRINT "lower"\n')
        result = run([], 'LOAD "hello"\nRUN\n', cwd=self.dir)
        self.assertEqual((result.stdout, result.stderr), (b"lower\n", b""))
        self.write("hello.BAS", '10 PRINT "upper"\n')
        result = run([], 'MERGE "hello"\nRUN\n', cwd=self.dir)
        self.assertEqual((result.stdout, result.stderr), (b"upper\n", b""))


class Reports(Folder):
    def test_console_reports_name_their_line(self):
        stderr = run([], "10 X = 5 +* 2\nRUN\nY = 5 +* 2\n").stderr.decode()
        self.assertEqual(stderr.split("\n"), [
            # a report made while line 10 runs names its line, once; the
            # close of the run after the illegal command adds nothing
            "line 10: Syntax error (error 40)",
            "line 10: Extra information on line (error 30)",
            "line 10: Illegal command (error 45)",
            # a command typed at the prompt has no line
            "Syntax error (error 40)", "Illegal command (error 45)", ""])

    def test_reports_name_the_culprit(self):
        for command, shown in [
                ("GOTO 500", "Undefined line 500 (error 31)"),
                ("PRINT LOG10(100)", "Bad subscript: LOG10(100) (error 42)"),
                ("DIM M(2, 3): PRINT M(1, 7)", "Bad subscript: M(_, 7) (error 42)"),
                ("PRINT A$(3)", "Variable not created: A$(3) (error 43)"),
                ('LOAD "demo.bas"', 'File not found: "demo.bas.BAS" (error -10)'),
                ("10 THEN PRINT 1\nRUN", "line 10: Illegal command: THEN (error 45)")]:
            with self.subTest(command=command):
                result = run([], command + "\n", cwd=self.dir)
                self.assertEqual(result.stderr.decode(), shown + "\n")

    def test_a_script_that_met_an_error_fails(self):
        for script, status in [("PRINT 1\n", 0), ("GOTO 9\nPRINT 1\n", 1),
                               ("10 STOP\nRUN\n", 1)]:
            with self.subTest(script=script):
                self.assertEqual(run([], script).returncode, status)

    def test_tabs_are_blanks_outside_strings(self):
        typed = [run([], f'10{blank}PRINT{blank}"a\tb";{blank}I\nLIST\nRUN\n')
                 for blank in ["\t", " "]]
        self.assertEqual(typed[0].stderr, b"")
        self.assertEqual(typed[0].stdout, typed[1].stdout)
        self.assertIn(b'"a\tb"', typed[0].stdout)

    def test_the_host_sees_the_stored_text_unchanged(self):
        script = 'create "10 GOTO 99"\naction 9\naction 1\npump\nexpression 4\n'
        result = run(["host", "-"], script)
        self.assertEqual(result.returncode, 0)
        self.assertIn('= "Undefined line: \\nBasic system error 31"\n',
                      result.stdout.decode())


class Check(Folder):
    TRAPS = os.path.join(SOURCE, "tests", "check")
    EXAMPLES = os.path.join(SOURCE, "examples")

    def test_every_line_of_the_traps_is_flagged(self):
        result = run(["check", "traps.bas"], cwd=self.TRAPS)
        self.assertEqual(result.returncode, 1)
        with open(os.path.join(self.TRAPS, "traps.out"), "rb") as expected:
            self.assertEqual(result.stdout, expected.read())
        flagged = {int(line.split(":")[1]) for line in result.stdout.decode().splitlines()}
        with open(os.path.join(self.TRAPS, "traps.bas")) as traps:
            for number, line in enumerate(traps.read().splitlines(), 1):
                place = int(line.split()[0]) if line[:1].isdigit() else number
                self.assertIn(place, flagged, f"line {number} of traps.bas: {line[:40]}")

    def test_the_examples_are_clean(self):
        examples = sorted(name for name in os.listdir(self.EXAMPLES) if name.endswith(".bas"))
        result = run(["check"] + examples, cwd=self.EXAMPLES)
        self.assertEqual((result.returncode, result.stdout), (0, b""))

    def test_run_check_runs_only_a_clean_program(self):
        self.write("clean.bas", '10 PRINT "ran"\n')
        self.write("trap.bas", '10 PRINT "ran"; SQR(16)\n')
        clean = run(["run", "--check", "clean.bas"], cwd=self.dir)
        self.assertEqual((clean.returncode, clean.stdout, clean.stderr), (0, b"ran\n", b""))
        trap = run(["--check", "trap.bas"], cwd=self.dir)
        self.assertEqual((trap.returncode, trap.stdout), (1, b""))
        self.assertIn(b"trap.bas:10:17: warning: SQR is the square", trap.stderr)


class HostRunnerFolder(Folder):
    def test_runner_works_in_a_folder_of_its_own(self):
        self.write("outside.BAS", "10 PRINT 1\n")
        script = ('file "made.txt" "x"\nshow "outside.BAS"\ncreate\n'
                  'action 7 "SAVE \\"saved\\""\nshow "saved.BAS"\n')
        result = run(["host", "-"], script, cwd=self.dir)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn('> show "outside.BAS"\n= missing\n', result.stdout.decode())
        self.assertNotIn('show "saved.BAS"\n= missing', result.stdout.decode())
        self.assertEqual(sorted(os.listdir(self.dir)), ["home", "outside.BAS"])
        with open(os.path.join(SOURCE, "docs", "host-script.md")) as doc:
            self.assertIn("a fresh temporary folder", doc.read())

    def test_no_option_chooses_the_folder(self):
        result = run(["host", "--folder", self.dir, "-"], "create\n")
        self.assertEqual(result.returncode, 2)


class Prompt(Folder):
    def test_bye_and_quit_leave(self):
        for word in ["BYE", "QUIT", "bye"]:
            with self.subTest(word=word):
                result = run([], f'PRINT "in"\n{word}\nPRINT "after"\n')
                self.assertEqual((result.returncode, result.stdout), (0, b"in\n"))

    def test_banner_and_help(self):
        with open(os.path.join(SOURCE, "resources", "Tenrek.rc")) as rc:
            version = re.search(r'VALUE "ProductVersion", "([^"]+)"', rc.read()).group(1)
        term = self.terminal()
        term.expect(f"Tenrek BASIC {version}: type help")
        term.expect("] ")
        term.type("help\r")
        term.expect("RUN, LIST")
        term.expect("] ")
        term.type("BYE\r")
        self.assertEqual(term.exit_status(), 0)

    def test_over_long_lines_are_refused_and_skipped(self):
        script = "PRINT 1" + " " * 2000 + "\nPRINT 2\n"
        result = run([], script)
        self.assertEqual(result.stdout, b"2 \n")
        self.assertEqual(result.stderr,
                         b"input line 1 is longer than 1023 characters: refused\n")
        self.assertEqual(result.returncode, 1)
        self.write("long.bas", "10 PRINT 1\n20 REM" + "x" * 2000 + "\n30 PRINT 3\n")
        result = run(["long.bas"], cwd=self.dir)
        self.assertEqual((result.stdout, result.stderr),
                         (b"1 \n3 \n", b"long.bas:2: longer than 1023 characters: left out\n"))

    def test_input_without_line_ends_stops_reading(self):
        # standard input from a device that never ends a line
        for args, report in [([], b"input line 1 has no line end: not text, reading stopped\n"),
                             (["run", "-"],
                              b"<stdin>:1: no line end: not text, reading stopped\n")]:
            with self.subTest(args=args), open("/dev/zero", "rb") as zeros:
                result = subprocess.run([TENREK] + args, stdin=zeros, capture_output=True,
                                        timeout=TIMEOUT)
                self.assertEqual((result.returncode, result.stderr), (1, report))

    def test_bye_leaves_the_terminal_prompt(self):
        term = self.terminal()
        term.expect("] ")
        term.type("BYE\r")
        self.assertEqual(term.exit_status(), 0)

    def test_ctrl_c_drops_the_typed_line_and_keeps_the_program(self):
        term = self.terminal()
        term.expect("] ")
        term.type('10 PRINT "kept"\r')
        term.expect("] ")
        term.interrupt()                       # at an empty prompt
        term.expect("] ")
        term.type('20 PRINT "half')
        term.interrupt()                       # with a half-typed line
        term.expect("] ")
        self.assertTrue(term.alive_after(0.3))
        term.type("RUN\r")
        term.expect("kept")
        term.expect("] ")
        term.type("LIST\r")
        term.expect("10 PRINT")
        term.expect("] ")
        self.assertNotIn(b"20 PRINT", term.seen)
        term.type("\x04")
        self.assertEqual(term.exit_status(), 0)

    def test_ctrl_c_breaks_a_running_program(self):
        term = self.terminal()
        term.expect("] ")
        term.type("10 GOTO 10\r")
        term.expect("] ")
        term.type("RUN\r")
        term.interrupt()
        term.expect("line 10: Break\r\n")
        term.expect("] ")
        term.type("BYE\r")
        self.assertEqual(term.exit_status(), 0)

    def test_history_is_kept_from_one_run_to_the_next(self):
        term = self.terminal()
        term.expect("] ")
        term.type("PRINT 11 * 3\r")
        term.expect("33")
        term.expect("] ")
        term.type("\x04")                      # Ctrl-D, so the last line stays PRINT
        self.assertEqual(term.exit_status(), 0)
        with open(os.path.join(self.home, ".tenrek_history"), "rb") as history:
            self.assertIn(b"PRINT", history.read())
        term = self.terminal()
        term.expect("] ")
        term.type("\x1b[A\r")                   # up arrow: the last line again
        term.expect("33")
        term.type("BYE\r")
        self.assertEqual(term.exit_status(), 0)


class InputAtTerminal(Folder):
    PROGRAM = '10 INPUT "Name"; N$\n20 PRINT "Hello, "; N$\n'

    def test_answer_can_be_edited(self):
        self.write("greet.bas", self.PROGRAM)
        term = self.terminal("run", "greet.bas")
        term.expect("Name ")
        term.type("Bo\x1b[DX\x1b[Cb\r")         # left, insert X, right, b
        term.expect("Hello, BXob")
        self.assertEqual(term.exit_status(), 0)

    def test_ctrl_c_breaks_at_once_and_names_the_input_line(self):
        # INPUT with a line after it, and INPUT as the program's last line
        for program in [self.PROGRAM, '5 PRINT "Hello"\n10 INPUT "Name"; N$\n']:
            with self.subTest(program=program):
                self.write("greet.bas", program)
                term = self.terminal("run", "greet.bas")
                term.expect("Name ")
                term.type("Bo")
                term.interrupt()
                term.expect("greet.bas:10: Break\r\n")
                self.assertEqual(term.exit_status(), 1)
                self.assertNotIn(b"Hello, ", term.seen)


if __name__ == "__main__":
    TENREK = os.path.abspath(sys.argv.pop(1))
    unittest.main()
