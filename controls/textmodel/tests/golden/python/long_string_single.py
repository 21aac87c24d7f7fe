x = '''open
still
close''' + y
