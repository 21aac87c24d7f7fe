def f(a):
    if a is not None: return lambda: print(a)
class C: pass
