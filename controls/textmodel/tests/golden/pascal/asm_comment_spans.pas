asm mov eax, 1 { open
 still } int 3 (* open
 still *) end
