Return RETURN return while While
