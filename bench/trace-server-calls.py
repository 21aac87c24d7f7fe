"""Reads a trace of Wine's call and server channels (see trace-server-calls) and counts, for the
traced program's threads, the server requests made inside each platform call the program's own
code made, by the routine that made the call; with --between FROM TO, only those between the first
debug string holding FROM and the next one holding TO."""
import bisect
import collections
import re
import subprocess
import sys

log, program = sys.argv[1], sys.argv[2]
want_calls = '--calls' in sys.argv[3:]
mark_from = mark_to = None
if '--between' in sys.argv[3:]:
    at = sys.argv.index('--between')
    mark_from, mark_to = sys.argv[at + 1], sys.argv[at + 2]


def symbols(path):
    head = subprocess.run(['x86_64-w64-mingw32-objdump', '-p', path], capture_output=True, text=True).stdout
    base = int(re.search(r'ImageBase\s+([0-9a-f]+)', head).group(1), 16)
    size = int(re.search(r'SizeOfImage\s+([0-9a-f]+)', head).group(1), 16)
    out = subprocess.run(['x86_64-w64-mingw32-nm', '-C', '--defined-only', path], capture_output=True,
                         text=True).stdout
    table = sorted((int(p[0], 16), p[2]) for p in (l.split(' ', 2) for l in out.splitlines())
                   if len(p) == 3 and p[1] in 'tT')
    return base, base + size, table


low, high, table = symbols(program)
starts = [a for a, _ in table]


def routine(address):
    i = bisect.bisect_right(starts, address) - 1
    return table[i][1] if i >= 0 else '?'


# Lines of the program's side carry process and thread ("0020:0024:Call ..."); the server's carry
# the thread only. Other processes (the desktop, services) may load at the same address, so only
# threads of the process that loaded the program count.
call = re.compile(r'^(\w+):(\w+):Call ([\w.]+)\(.*\) ret=([0-9a-f]+)$')
ret = re.compile(r'^(\w+):(\w+):Ret  ([\w.]+)\(.*ret=([0-9a-f]+)$')
loaded = re.compile(r'^(\w+):(\w+):trace:loaddll:\w+ Loaded L"([^"]*)" at ([0-9a-f]+)')
program_name = program.replace('/', '\\').split('\\')[-1].lower()
ours = None
request = re.compile(r'^(\w{4}): (\w+)\((?!.*\) = )')
open_calls = collections.defaultdict(list)
traced = set()
kinds = collections.Counter()
by_site = collections.Counter()
call_sites = collections.Counter()
outside = 0
# Calls are followed before the first mark too, so that a request inside one is laid to its call.
counting = mark_from is None
with open(log, errors='replace') as lines:
    for line in lines:
        if mark_from is not None and ':debugstr:' in line:
            if not counting and mark_from in line:
                counting = True
            elif counting and mark_to in line:
                break
            continue
        if ':Call ' in line:
            m = call.match(line)
            if m and m.group(1) == ours:
                traced.add(m.group(2))
                address = int(m.group(4), 16)
                if low <= address < high:
                    open_calls[m.group(2)].append((m.group(3), address))
                    if want_calls and counting:
                        call_sites[(m.group(3), address)] += 1
            continue
        if ':Ret  ' in line:
            m = ret.match(line)
            if m and m.group(1) == ours:
                stack = open_calls[m.group(2)]
                if stack and stack[-1][1] == int(m.group(4), 16):
                    stack.pop()
            continue
        if ':loaddll:' in line:
            m = loaded.match(line)
            if m and ours is None and m.group(3).lower().endswith('\\' + program_name):
                ours = m.group(1)
            continue
        m = request.match(line)
        if not m or m.group(1) not in traced or not counting:
            continue
        kinds[m.group(2)] += 1
        stack = open_calls[m.group(1)]
        if stack:
            by_site[(stack[-1][0], routine(stack[-1][1]))] += 1
        else:
            outside += 1

total = sum(kinds.values())
print(f'server requests of the traced program: {total} ({outside} outside its own calls: start-up, other threads)')
print('\nby kind:')
for k, v in kinds.most_common(20):
    print(f'{v:8d}  {k}')
print('\nby platform call and calling routine:')
for (api, who), v in by_site.most_common(60):
    print(f'{v:8d}  {api:32s} {who[:110]}')
if want_calls:
    merged = collections.Counter()
    for (api, address), v in call_sites.items():
        merged[(api, routine(address))] += v
    print('\nplatform calls by caller:')
    for (api, who), v in merged.most_common(60):
        print(f'{v:8d}  {api:32s} {who[:110]}')
