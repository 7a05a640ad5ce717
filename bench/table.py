"""Prints the benchmark's table of medians and ratios from the files bench/run wrote."""
import sys

out, sizes = sys.argv[1], sys.argv[2:]


def medians(path):
    with open(path) as f:
        return {name: float(median) for name, median, _ in (line.rstrip("\n").split("\t") for line in f)}


def mark(ok):
    return "met" if ok else "MISSED"


print("## Full /proc scan (median ms; ratio to the reference scanner)\n")
print("| extra processes | tyvar -nc | tyvar -n -c | reference | comm reference | killall | pidof | tyvar -nc/ref | tyvar -n -c/ref | tyvar -nc/comm ref | killall/ref | pidof/ref | µs per process (ref) | goal ≤ 1.05 |")
print("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|")
first_ref = medians(f"{out}/scan-{sizes[0]}.tsv")["reference"]
for size in sizes:
    m = medians(f"{out}/scan-{size}.tsv")
    ref = m["reference"]
    ratio = m["tyvar"] / ref
    per = "-" if size == sizes[0] else f"{(ref - first_ref) * 1e6 / (int(size) - int(sizes[0])):.1f}"
    comm = m["comm reference"]
    print(f"| {size} | {m['tyvar']*1e3:.2f} | {m['tyvar -n -c']*1e3:.2f} | {ref*1e3:.2f} | {comm*1e3:.2f} "
          f"| {m['killall']*1e3:.2f} | {m['pidof']*1e3:.2f} | {ratio:.3f} | {m['tyvar -n -c']/ref:.3f} "
          f"| {m['tyvar']/comm:.3f} | {m['killall']/ref:.2f} | {m['pidof']/ref:.2f} | {per} | {mark(ratio <= 1.05)} |")

print("\n## Each kind of criterion on a mix with many threads (median ms)\n")
with open(f"{out}/mix.txt") as f:
    extra, threaded, threads, processes, tasks, idle_user = f.read().split()
print(f"{extra} extra processes, {threaded} of them with {threads} threads each: {processes} processes, "
      f"{tasks} threads in all.\n")
m = medians(f"{out}/mix.tsv")
ref = m["reference"]
print("| command | median | reference (stat floor) | ratio | goal | minimal program for the same question | ratio | goal ≤ 1.05 |")
print("|---|---|---|---|---|---|---|---|")
for label, name, goal, own_ref in [("tyvar -nc NAME (command)", "command", 0.80, "comm reference"),
                                   (f"tyvar -nu {idle_user} (user)", "user", 0.40, "owner reference"),
                                   ("tyvar -nt null (terminal)", "terminal", 1.05, None)]:
    ratio = m[name] / ref
    own = f"{m[own_ref]*1e3:.2f} ({own_ref})" if own_ref else "- (the stat floor itself)"
    own_ratio = m[name] / m[own_ref] if own_ref else ratio
    print(f"| {label} | {m[name]*1e3:.2f} | {ref*1e3:.2f} | {ratio:.3f} | {mark(ratio <= goal)} ≤ {goal:.2f} "
          f"| {own} | {own_ratio:.3f} | {mark(own_ratio <= 1.05)} |")
for other in ["killall", "pidof"]:
    print(f"| {other} | {m[other]*1e3:.2f} | {ref*1e3:.2f} | {m[other]/ref:.3f} | | | | |")

print("\n## Start-up (median ms; ratio to a minimal C program doing the same work)\n")
print("| command | ours | minimal | ratio | goal ≤ 1.15 |")
print("|---|---|---|---|---|")
m = medians(f"{out}/startup.tsv")
for ours, ref in [("kill -0", "ref kill -0"), ("free", "ref free"), ("uptime", "ref uptime"),
                  ("tyvar -V", "ref version")]:
    ratio = m[ours] / m[ref]
    print(f"| {ours} | {m[ours]*1e3:.3f} | {m[ref]*1e3:.3f} | {ratio:.3f} | {mark(ratio <= 1.15)} |")

print("\n## Peak resident memory (KiB, median)\n")
print("| command | ours | minimal | ratio | goal ≤ 1.10 |")
print("|---|---|---|---|---|")
with open(f"{out}/rss.txt") as f:
    for line in f:
        ours_name, ours, ref_name, ref = line.split()[-4:] if False else line.split()
        ratio = int(ours) / int(ref)
        print(f"| {ours_name.replace('_', ' ')} | {ours} | {ref} ({ref_name}) | {ratio:.3f} | {mark(ratio <= 1.10)} |")

print("\n## User-space instructions per scanned process (callgrind)\n")
with open(f"{out}/callgrind.txt") as f:
    rows = [list(map(int, line.split())) for line in f if line.strip()]
(s1, p1, t1, r1), (s2, p2, t2, r2) = rows[0], rows[-1]
print("| | tyvar | reference |")
print("|---|---|---|")
print(f"| instructions at {p1} processes | {t1} | {r1} |")
print(f"| instructions at {p2} processes | {t2} | {r2} |")
print(f"| per process | {(t2 - t1) / (p2 - p1):.0f} | {(r2 - r1) / (p2 - p1):.0f} |")
