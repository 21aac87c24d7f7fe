s = """one line""" and 1
d = """spans
lines"""
