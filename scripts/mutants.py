#!/usr/bin/env python3
"""Mutation testing of the native unit tests; run through scripts/mutants.sh.

Finds the mutation sites of the portable sources, shuffles them with the seed
and runs the first COUNT one at a time in a scratch copy of the tracked files
(build/mutants/src, built in build/mutants/build): apply, rebuild, run ctest
under a time limit, restore. A mutant that does not compile is replaced by the
next one drawn. A mutant's number is its place in the shuffled list, so the
same sources and seed give the same numbers (--only N re-runs one).
"""
import argparse, json, os, random, re, subprocess, sys, time

COMPANIONS = ['companions/bregexp/bmatch.cpp', 'companions/imgctl/dib.cpp',
              'companions/capture/command_line.cpp', 'companions/capture/browser.cpp']
TARGETS = ['unit_tests', 'bregexp_tests', 'imgctl_tests', 'capture_tests']


def portable_sources(files):
    core = [f for f in files if re.fullmatch(r'src/.*\.cpp', f)
            and not re.search(r'_win32\.cpp$|/win32/|fake_platform', f)]
    return sorted(core) + [f for f in COMPANIONS if f in files]


def mask(text):
    """Blanks comments, string and character literals, preprocessor lines and
    static_asserts, keeping offsets and newlines, so only code is searched."""
    out, i, n = list(text), 0, len(text)

    def blank(a, b):
        for k in range(a, min(b, n)):
            if out[k] != '\n':
                out[k] = ' '
        return min(b, n)

    def end_of(s, start):
        j = text.find(s, start)
        return n if j < 0 else j + len(s)

    while i < n:
        c, two = text[i], text[i:i + 2]
        line_start = text.rfind('\n', 0, i) + 1
        if two == '//':
            i = blank(i, end_of('\n', i) - 1)
        elif two == '/*':
            i = blank(i, end_of('*/', i + 2))
        elif c == '#' and not text[line_start:i].strip():
            j = i
            while True:  # the directive and its continuation lines
                j = end_of('\n', j)
                if j >= n or not text[:j - 1].endswith('\\'):
                    break
            i = blank(i, j - 1)
        elif two == 'R"' and not re.match(r'\w', text[i - 1:i]):
            delim = text[i + 2:text.find('(', i)]
            i = blank(i, end_of(')' + delim + '"', i))
        elif c in '"\'' and not (c == "'" and re.search(r"(?<!\w)\d[\w']*$", text[max(0, i - 40):i])):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            i = blank(i, j + 1)
        elif text.startswith('static_assert', i):
            i = blank(i, end_of(';', i))
        else:
            i += 1
    return ''.join(out)


def closing_paren(code, open_at):
    depth = 0
    for j in range(open_at, len(code)):
        depth += {'(': 1, ')': -1}.get(code[j], 0)
        if depth == 0:
            return j
    return -1


SWAP = {'<': '<=', '<=': '<', '>': '>=', '>=': '>', '==': '!=', '!=': '==',
        '&&': '||', '||': '&&', 'true': 'false', 'false': 'true', '0': '1', '1': '0'}
OPERATORS = [  # (name, pattern on the masked code); group 1 is what changes
    ('boundary', r'(?<=\s)(<=|>=|<|>)(?=\s)'),
    ('equality', r'(?<=\s)(==|!=)(?=\s)'),
    ('and-or', r'(?<=\s)(&&|\|\|)(?=\s)'),
    ('return', r'\breturn\s+(true|false|0|1)\s*;'),
    ('literal', r'(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)[uUlL]*(?![\w.])'),
]
STATEMENT = re.compile(  # one whole line: an assignment, a call, ++ or --
    r'[ \t]*([\w.\[\]>:-]+\s*([-+*/|&^]|<<|>>)?=\s*[^=\s].*|[\w.:\[\]>-]+\(.*\)'
    r'|(\+\+|--)[\w.]+|[\w.]+(\+\+|--));[ \t]*$', re.M)
DECLARATION = re.compile(r'\s*(const\s+)?[\w:]+(<[^()]*>)?[\s&*]+\w+\s*(=[^=]|\{|:[^:])')


def sites(path, text):
    """Every mutation of one file: (path, start, end, replacement, operator)."""
    code, found = mask(text), []
    for name, pattern in OPERATORS:
        for m in re.finditer(pattern, code):
            old = m.group(1)
            if name == 'literal' and (re.search(r'\b(?!return)\w+\s+\w+\[$', code[:m.start()])
                                      or re.search(r'\breturn\s+$', code[:m.start()])
                                      and re.match(r'[01]\s*;', code[m.start():])):
                continue  # an array's size, or the same as the return swap
            new = SWAP.get(old) if name != 'literal' else (
                hex(int(old, 16) + 1) if old[:2] in ('0x', '0X') else str(int(old) + 1))
            found.append((path, m.start(1), m.end(1), new, name))
    for m in re.finditer(r'\bif\s*\(', code):
        close = closing_paren(code, m.end() - 1)
        cond = code[m.end():close]
        if close > 0 and ';' not in cond and not DECLARATION.match(cond):
            found.append((path, m.end(), close, '!(' + text[m.end():close] + ')', 'condition'))
    for m in re.finditer(STATEMENT, code):
        before = code[:m.start()].rstrip()
        body = m.group(0).strip()
        if body.count('(') == body.count(')') and body.count(';') == 1 and (not before or before[-1] in ';{}):'
                                                   or before.endswith('else')):
            start = m.start() + len(m.group(0)) - len(m.group(0).lstrip())
            found.append((path, start, start + len(body), ';', 'delete'))
    return found


def lines_of(text, start, end):
    a, b = text.rfind('\n', 0, start) + 1, text.find('\n', end)
    return a, (len(text) if b < 0 else b)


def describe(texts, site):
    path, start, end, new, op = site
    text = texts[path]
    a, b = lines_of(text, start, end)
    flat = lambda s: ' '.join(s.encode('latin-1').decode('utf-8', 'replace').split())
    return (f'{path}:{text.count(chr(10), 0, start) + 1} {op}',
            flat(text[a:b]), flat(text[a:start] + new + text[end:b]))


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def sync(files, dest):
    """Copies the tracked files into dest, writing only those that differ so
    the scratch build stays incremental, and removes what is no longer tracked."""
    for f in files:
        if not os.path.isfile(f):
            continue
        with open(f, 'rb') as src:
            data = src.read()
        target = os.path.join(dest, f)
        if os.path.exists(target) and open(target, 'rb').read() == data:
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, 'wb') as out:
            out.write(data)
    keep = {os.path.join(dest, f) for f in files}
    for root, _, names in os.walk(dest):
        for name in names:
            if os.path.join(root, name) not in keep:
                os.remove(os.path.join(root, name))


def main():
    ap = argparse.ArgumentParser(prog='scripts/mutants.sh', description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--count', type=int, default=80, help='mutants to run (default 80)')
    ap.add_argument('--seed', type=int, default=1, help='shuffle seed (default 1)')
    ap.add_argument('--only', help='run only these numbers, e.g. 3,17')
    ap.add_argument('--files', metavar='REGEX',
                    help='mutate only the sources whose path REGEX finds (numbers then count '
                         'within those)')
    ap.add_argument('--list', action='store_true', help='list the mutants, run none')
    ap.add_argument('--timeout', type=int, default=60, help='seconds a test run may take (60)')
    ap.add_argument('--jobs', type=int, default=2, help='build jobs (default 2)')
    ap.add_argument('--matrix', metavar='FILE',
                    help='run every test on each mutant and write, a JSON line a mutant, '
                         'the tests that failed (which tests kill what no other test does)')
    args = ap.parse_args()

    files = run(['git', 'ls-files'], check=True).stdout.split('\n')
    texts = {f: open(f, encoding='latin-1').read() for f in portable_sources(files)
             if not args.files or re.search(args.files, f)}
    if not texts:
        ap.error(f'--files: no portable source matches {args.files!r}')
    pool = sorted(s for f in texts for s in sites(f, texts[f]))
    random.Random(args.seed).shuffle(pool)
    numbers = list(range(1, len(pool) + 1))
    if args.only:
        numbers = [int(x) for x in args.only.split(',')]
        if not all(1 <= k <= len(pool) for k in numbers):
            ap.error(f'--only: the mutants are numbered 1 to {len(pool)}')
    if args.list:
        for k in numbers[:len(numbers) if args.only else args.count]:
            where, old, new = describe(texts, pool[k - 1])
            print(f'#{k} {where}\n    - {old}\n    + {new}')
        return 0

    scratch = os.path.abspath('build/mutants')
    src, bld = os.path.join(scratch, 'src'), os.path.join(scratch, 'build')
    sync([f for f in files if f], src)
    preset = json.load(open('CMakePresets.json'))['configurePresets']
    cache = next(p for p in preset if p['name'] == 'native')['cacheVariables']
    run(['cmake', '-S', src, '-B', bld, '-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST']
        + [f'-D{k}={v}' for k, v in cache.items()], check=True)
    build = ['nice', '-n', '10', 'cmake', '--build', bld, f'-j{args.jobs}', '--target'] + TARGETS
    test = ['timeout', '-k', '5', str(args.timeout), 'ctest', '--test-dir', bld, '-j2',
            '--no-tests=error', '--timeout', str(args.timeout)]
    if not args.matrix:
        test.append('--stop-on-failure')
    matrix = open(args.matrix, 'w') if args.matrix else None

    print(f'mutants: {len(pool)} sites in {len(texts)} files, seed {args.seed}; '
          f'building in {bld}', flush=True)
    out = run(build)
    began = time.time()
    base = run(test)
    total = re.search(r'out of (\d+)', base.stdout)
    if out.returncode or base.returncode or not total:
        print(out.stdout[-3000:] + base.stdout[-3000:] + '\nthe unmodified sources fail')
        return 1
    total = int(total.group(1))
    print(f'baseline: {total} tests pass in {time.time() - began:.1f} s; '
          f'limit {args.timeout} s a run', flush=True)

    want = len(numbers) if args.only else args.count
    queue = numbers[:want]
    queue.sort(key=lambda k: pool[k - 1][0])  # one file after another: fewer recompiles
    spare = iter(numbers[want:])
    results, skipped = [], 0
    while queue:
        k = queue.pop(0)
        path, start, end, new, op = pool[k - 1]
        target, text = os.path.join(src, path), texts[path]
        began = time.time()
        try:
            with open(target, 'w', encoding='latin-1') as f:
                f.write(text[:start] + new + text[end:])
            if run(build).returncode:
                skipped += 1
                queue += [] if args.only else [k for k in [next(spare, None)] if k]
                print(f'  #{k} {describe(texts, pool[k - 1])[0]}: does not compile, '
                      'drawing another', flush=True)
                continue
            res = run(test)
            ran = re.search(r'out of (\d+)', res.stdout)
            killed = res.returncode != 0 or not ran or int(ran.group(1)) != total
        finally:
            with open(target, 'w', encoding='latin-1') as f:
                f.write(text)
        timed_out = res.returncode == 124 or 'Timeout' in res.stdout
        how = ('timed out' if timed_out else 'killed') if killed else 'SURVIVED'
        results.append((k, killed))
        where = describe(texts, pool[k - 1])[0]
        if matrix:
            failed = re.findall(r'^\s*\d+ - (.+?) \((?:Failed|Timeout|SEGFAULT|Subprocess|Exception|Child)',
                                res.stdout.split('tests FAILED:')[-1], re.M)
            matrix.write(json.dumps({'mutant': k, 'where': where, 'killed': killed,
                                     'failed': failed if killed else []}) + '\n')
            matrix.flush()
        print(f'[{len(results):3}/{want}] #{k} {where}: {how} '
              f'({time.time() - began:.1f} s)', flush=True)

    dead = sum(1 for _, killed in results if killed)
    share = 100.0 * dead / len(results) if results else 0.0
    print(f'\nkilled {dead} of {len(results)} ({share:.1f}%)'
          + (f'; {skipped} more did not compile' if skipped else ''))
    for k, killed in results:
        if not killed:
            where, old, new = describe(texts, pool[k - 1])
            print(f'survived #{k} {where}\n    - {old}\n    + {new}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
