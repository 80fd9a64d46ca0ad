  select a+b ,
	'x' || "y"  from t where a = +1 or b=(+2) -- (+)
