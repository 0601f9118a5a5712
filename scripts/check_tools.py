#!/usr/bin/env python3
"""Checks that setup.sh brings every outside program the project's scripts and build files run.

The programs are read from the files themselves: the command words of every shell script
(parsed with shlex, so quoted awk programs and texts are not taken for commands), the
find_program names, the compilers of the toolchain file, and the COMMAND words of the
CMake files that are not the project's own targets. Each program must be on this machine
and come from a Debian package that setup.sh installs, that such a package needs through
Depends or Pre-Depends (followed through), or that every Debian system has (Essential or
Priority required). Prints a line a program and exits 1 naming every program that fails.

    check_tools.py [repository root]
"""
import os
import re
import shlex
import shutil
import subprocess
import sys

# Operators end a command wherever they stand; keywords start one only in command position.
OPERATORS = {"|", "||", "&&", ";", ";;", "&", "(", "\n", "`", "$("}
KEYWORDS = {"!", "{", "then", "do", "else", "elif", "if", "while", "until", "exec", "time", "command",
            "nohup", "env"}
BUILTINS = {"[", "[[", "]]", "]", ":", ".", "source", "cd", "set", "shift", "trap", "wait", "exit",
            "break", "continue", "read", "echo", "printf", "true", "false", "test", "let", "unset",
            "local", "export", "declare", "readonly", "return", "type", "hash", "pushd", "popd",
            "eval", "ulimit", "umask", "mapfile", "jobs", "kill", "getopts", "builtin", "fi", "done",
            "esac", "}", ")", "in", "function", "case", "for", "select"}
# Commands that run the program named after them (with their own options skipped).
WRAPPERS = {"timeout": 1, "xvfb-run": 0, "nice": 0}


def git_files(root, *patterns):
    out = subprocess.run(["git", "-C", root, "ls-files", *patterns], capture_output=True,
                         text=True, check=False).stdout
    return [line for line in out.splitlines() if line]


def strip_heredocs(text):
    """Drops the bodies of here-documents: they are data, not commands."""
    lines, out, tag = text.split("\n"), [], None
    for line in lines:
        if tag is not None:
            if line.strip() == tag:
                tag = None
            continue
        match = re.search(r"<<-?\s*['\"]?([A-Za-z_]+)['\"]?", line)
        if match:
            tag = match.group(1)
        out.append(line)
    return "\n".join(out)


def shell_commands(text):
    """The first word of every simple command, and the names of the functions defined."""
    lexer = shlex.shlex(strip_heredocs(text), posix=True, punctuation_chars=True)
    lexer.whitespace = " \t\r"
    lexer.commenters = "#"
    lexer.wordchars += "$%+,:@^{}[]!"
    try:
        tokens = list(lexer)
    except ValueError:
        tokens = []
    commands, functions = [], set()
    expect, skip_to, case_patterns, depth = True, None, False, 0
    for i, tok in enumerate(tokens):
        nxt = tokens[i + 1] if i + 1 < len(tokens) else ""
        if skip_to is not None:
            if tok == "(":
                depth += 1
            elif tok == skip_to and (skip_to != ")" or depth == 0):
                skip_to, expect = None, skip_to != ")"
            elif tok == ")":
                depth -= 1
            continue
        if case_patterns:
            if tok == "esac":
                case_patterns = False
            elif tok == ")":
                case_patterns, expect = False, True
            continue
        if tok == ";;":
            case_patterns = True
            continue
        if tok == "in" and i >= 2 and tokens[i - 2] == "case":
            case_patterns = True
            continue
        if tok == "for":
            skip_to = "do"
            continue
        if tok.endswith("=") and nxt == "()":
            continue
        if tok.endswith("=") and nxt == "(":
            skip_to, depth = ")", -1
            continue
        if tok in OPERATORS:
            expect = True
            continue
        if not expect:
            continue
        if tok in KEYWORDS:
            continue
        if re.match(r"^[A-Za-z_][A-Za-z0-9_]*=", tok):  # an assignment before the command
            name, _, value = tok.partition("=")
            if name in ("CC", "CXX") and value:
                commands.append(value)
            continue
        if nxt == "()" or (nxt == "(" and tokens[i + 2:i + 3] == [")"]):
            functions.add(tok)
            expect = False
            continue
        expect = False
        if tok in WRAPPERS:
            commands.append(tok)
            j = i + 1
            while j < len(tokens) and (tokens[j].startswith("-") or tokens[j][:1].isdigit()):
                j += 1
            if j < len(tokens) and WRAPPERS[tok] >= 0:
                commands.append(tokens[j])
            continue
        commands.append(tok)
    return commands, functions


def cmake_commands(text, targets):
    """Programs named by a CMake file; find_program's names are alternatives, joined by "|"."""
    words = []
    for m in re.finditer(r"find_program\(\s*\w+\s+(?:NAMES\s+)?([^)]*)\)", text):
        names = [w for w in m.group(1).split() if not w.isupper() and not w.startswith("$")]
        words.append("|".join(names))
    prefix = re.search(r"set\(TOOLCHAIN_PREFIX\s+(\S+)\)", text)
    for m in re.finditer(r"set\(CMAKE_\w+_COMPILER\s+([^)\s]+)\)", text):
        word = m.group(1)
        if prefix:
            word = word.replace("${TOOLCHAIN_PREFIX}", prefix.group(1))
        words.append(word)
    for m in re.finditer(r"COMMAND\s+(\S+)", text):
        word = m.group(1).strip("\"")
        if word not in targets:
            words.append(word)
    return words


def is_program_word(word):
    if not word or word in BUILTINS or word[0] in "-.":
        return False
    return re.fullmatch(r"/?[A-Za-z0-9_+-][A-Za-z0-9_.+/-]*", word) is not None and (
        word.startswith("/") or "/" not in word)


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, check=False).stdout


def owner(path):
    real = os.path.realpath(path)
    for p in (path, real, path.removeprefix("/usr"), real.removeprefix("/usr"), "/usr" + path):
        for line in run("dpkg", "-S", p).splitlines():
            if not line.startswith("diversion"):
                return line.split(":")[0].split(",")[0]
    return None


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    setup = os.path.join(root, "scripts", "setup.sh")
    found = {}  # program -> first file that runs it
    functions = set()
    for name in git_files(root, "*.sh", ".ci/run"):
        with open(os.path.join(root, name), encoding="utf-8") as f:
            commands, defined = shell_commands(f.read())
        functions |= defined
        for word in commands:
            found.setdefault(word, name)
    cmake = git_files(root, "*.cmake", "*CMakeLists.txt")
    texts = {}
    for name in cmake:
        with open(os.path.join(root, name), encoding="utf-8") as f:
            texts[name] = f.read()
    targets = set()
    for text in texts.values():
        targets |= set(re.findall(r"add_(?:executable|custom_target|library)\(\s*([\w${}-]+)", text))
    for name, text in texts.items():
        for word in cmake_commands(text, targets):
            found.setdefault(word, name)

    if not found:
        print("check-tools: found no scripts to read (git ls-files gave nothing)")
        return 1
    wanted = run("bash", setup, "--list").split()
    outside = set(run("bash", setup, "--outside").split())
    closure = set()
    deps = run("apt-cache", "depends", "--recurse", "--installed", "--no-recommends",
               "--no-suggests", "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances",
               *wanted)
    for line in deps.splitlines():
        if re.match(r"^[a-z0-9]", line):
            closure.add(line.split()[0])
        m = re.match(r"^\s*\|?(?:Pre)?Depends:\s*<?([^\s>]+)>?", line)
        if m:
            closure.add(m.group(1))
    if not closure:
        print("check-tools: apt-cache gave no dependencies (run apt-get update, then setup.sh)")
        return 1

    def verdict(prog):
        """(ok, text) for one program: any copy of it on the PATH that setup brings will do."""
        if prog.startswith("/"):
            paths = [prog] if os.access(prog, os.X_OK) else []
        else:
            paths = [os.path.join(d, prog) for d in os.environ.get("PATH", "").split(os.pathsep)
                     if d and os.access(os.path.join(d, prog), os.X_OK)]
        if not paths:
            return False, "MISSING    {} (run by {{}}): not on this machine".format(prog)
        if prog in outside:
            return True, f"ok         {prog} ({paths[0]}; setup.sh installs Debian's when it is missing)"
        seen = []
        for path in paths:
            pkg = owner(path)
            if pkg is None:
                continue
            status = run("dpkg-query", "-W", "-f=${Essential} ${Priority}", pkg)
            if pkg in closure:
                return True, f"ok         {prog} ({pkg})"
            if status.startswith("yes") or status.endswith("required"):
                return True, f"ok         {prog} ({pkg}, on every Debian system)"
            seen.append(pkg)
        if seen:
            return False, (f"NOT SET UP {prog} (run by {{}}) comes from {seen[0]}, "
                           "which setup.sh does not install")
        return False, f"UNOWNED    {prog} ({paths[0]}, run by {{}}): no Debian package holds it"

    failed = []
    for entry in sorted(found):
        names = [n for n in entry.split("|") if is_program_word(n) and n not in functions]
        if not names:
            continue
        results = [verdict(n) for n in names]
        good = [text for ok, text in results if ok]
        print(good[0] if good else "\n".join(text.format(found[entry]) for _, text in results))
        if not good:
            failed.append(entry)
    if failed:
        print("check-tools: setup.sh does not bring: " + " ".join(failed))
        return 1
    print("check-tools: every program the scripts and build files run comes from setup.sh")
    return 0


if __name__ == "__main__":
    sys.exit(main())
