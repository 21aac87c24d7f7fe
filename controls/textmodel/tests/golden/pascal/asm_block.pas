procedure P; asm
  mov eax, @end
  { brace } nop // tail
  (* star *) end;
begin end;
