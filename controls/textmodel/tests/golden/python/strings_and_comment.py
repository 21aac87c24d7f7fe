a = "esc \" q" # note
b = 'it''s'
